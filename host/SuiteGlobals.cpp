// The module-global suite pointers. Each is null at module load and non-null exactly while its
// suite is held; only the frame's suite acquisition (SuiteSet) writes them.
#include "host/AccessSuite.h"
#include "host/ArtboardSuite.h"
#include "host/BasicSuite.h"
#include "host/ContextSuite.h"
#include "host/MenuSuite.h"
#include "host/NotifierSuite.h"
#include "host/PluginsSuite.h"
#include "host/UnicodeStringSuite.h"
#include "host/UnusedSuites.h"
#include "host/UserSuite.h"

const BasicSuite* gBasicSuite = nullptr;
const AccessSuite* gAccessSuite = nullptr;
const PluginsSuite* gPluginsSuite = nullptr;
const NotifierSuite* gNotifierSuite = nullptr;
const ContextSuite* gContextSuite = nullptr;
const UserSuite* gUserSuite = nullptr;
const FilePathSuite* gFilePathSuite = nullptr;
const FoldersSuite* gFoldersSuite = nullptr;
const BlocksSuite* gBlocksSuite = nullptr;
const MenuSuite* gMenuSuite = nullptr;
const ArtboardSuite* gArtboardSuite = nullptr;
const UnicodeStringSuite* gUnicodeStringSuite = nullptr;
