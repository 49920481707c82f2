#include "frame/SuiteTables.h"

#include "host/AccessSuite.h"
#include "host/ContextSuite.h"
#include "host/NotifierSuite.h"
#include "host/PluginsSuite.h"
#include "host/UnusedSuites.h"
#include "host/UserSuite.h"

const SuiteTableRow FrameSuiteTable[kFrameSuiteCount] = {
    {kAccessSuiteName, kAccessSuiteVersion, &gAccessSuite},
    {kPluginsSuiteName, kPluginsSuiteVersion, &gPluginsSuite},
    {kNotifierSuiteName, kNotifierSuiteVersion, &gNotifierSuite},
    {kContextSuiteName, kContextSuiteVersion, &gContextSuite},
    {kUserSuiteName, kUserSuiteVersion, &gUserSuite},
    {kFilePathSuiteName, kFilePathSuiteVersion, &gFilePathSuite},
    {kFoldersSuiteName, kFoldersSuiteVersion, &gFoldersSuite},
};
