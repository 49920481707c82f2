#include "frame/PluginHooks.h"
#include "host/ArtboardSuite.h"
#include "host/MenuSuite.h"
#include "host/UnicodeStringSuite.h"
#include "host/UnusedSuites.h"

// Every suite here is required: the terminating row carries no optional-suites marker.
const SuiteTableRow PluginSuiteTable[] = {
    {kBlocksSuiteName, kBlocksSuiteVersion, &gBlocksSuite},
    {kMenuSuiteName, kMenuSuiteVersion, &gMenuSuite},
    {kArtboardSuiteName, kArtboardSuiteVersion, &gArtboardSuite},
    {kUnicodeStringSuiteName, kUnicodeStringSuiteVersion, &gUnicodeStringSuite},
    {nullptr, 0, nullptr},
};
