#include "renumber/QuorvanePlugin.h"

#include <new>

#include "about/SDKAboutPluginsHelper.h"
#include "frame/ErrorBoundary.h"
#include "frame/PluginHooks.h"
#include "host/MenuItemRecord.h"
#include "host/MenuSuite.h"
#include "renumber/FirstFailure.h"

namespace {

constexpr const char* kAboutGroupName = "SDKAboutPluginsGroupName";
constexpr const char* kAboutGroupLabel = "About SDK Plug-ins";
constexpr const char* kAboutItemLabel = "Quorvane...";
constexpr const char* kCommandsGroup = "ArtBoards";
constexpr const char* kByRowLabel = "Quorvane, Grid by Row";
constexpr const char* kByColumnLabel = "Quorvane, Grid by Column";
constexpr const char* kByRowKey = "QuorvaneCommandHV";
constexpr const char* kByColumnKey = "QuorvaneCommandVH";
constexpr const char* kSeparatorKey = "sep";
constexpr std::int32_t kSeparatorOption = 4;

}  // namespace

QuorvanePlugin::QuorvanePlugin(PluginRef ref) noexcept : Plugin(ref) {
    SetName(kName);
}

ErrorCode QuorvanePlugin::OnStartup(HostMessage* message) {
    if (const ErrorCode result = Plugin::OnStartup(message); result != kNoError) {
        return result;
    }
    return InstallMenus(message);
}

ErrorCode QuorvanePlugin::InstallMenus(HostMessage* message) {
    {
        SDKAboutPluginsHelper about;
        const ai::HostString groupLabel(kAboutGroupLabel);
        // Without an About item the commands still work: its result is not looked at.
        about.AddAboutMenuItem(message, kAboutGroupName, groupLabel, kAboutItemLabel,
                               &aboutItemHandle);
    }

    // One record serves the separator and both commands; the separator carries the first
    // command's label. A handle is kept only once its item was added.
    MenuItemRecord record{kCommandsGroup, ai::HostString(kByRowLabel)};
    const auto add = [&](const char* key, std::int32_t options, MenuItemHandle* kept) {
        MenuItemHandle added = nullptr;
        const ErrorCode result =
            gMenuSuite->AddMenuItem(message->pluginRef, key, &record, options, &added);
        if (result == kNoError && added == nullptr) {
            return kCantError;  // success without an item: nothing a user could choose
        }
        if (result == kNoError && kept != nullptr) {
            *kept = added;
        }
        return result;
    };
    FirstFailure run;
    run.Then([&] { return add(kSeparatorKey, kSeparatorOption, nullptr); })
        .Then([&] { return add(kByRowKey, 0, &byRowItemHandle); })
        .Then([&] {
            record.label = ai::HostString(kByColumnLabel);
            return add(kByColumnKey, 0, &byColumnItemHandle);
        });
    return run.Code();
}

ErrorCode QuorvanePlugin::OnMessage(const char* caller, const char* selector,
                                    HostMessage* message) {
    const ErrorCode result =
        CallCatchingExceptions([&] { return Plugin::OnMessage(caller, selector, message); });
    if (result == kNoError || result == kUnhandledMessageError) {
        return kNoError;
    }
    // Reported here, and by the entry point again once this returns: the second report of the
    // same code falls in the repeat window (Plugin::OnReportError), so the host sees it once.
    Plugin::OnReportError(result, caller, selector, message);
    return result;
}

ErrorCode QuorvanePlugin::OnMenuGo(HostMessage* message) {
    const MenuItemHandle chosen = reinterpret_cast<const MenuMessage*>(message)->menuItem;
    // A handle stays null when its item could not be added; a null choice is none of ours.
    if (chosen == nullptr) {
        return kNoError;
    }
    if (chosen == aboutItemHandle) {
        SDKAboutPluginsHelper about;
        about.ShowAboutBox(message, kAboutTitle, kAboutBody);
        return kNoError;
    }
    if (chosen == byRowItemHandle) {
        return ReorderArtboards(OrderKind::ByRow);
    }
    if (chosen == byColumnItemHandle) {
        return ReorderArtboards(OrderKind::ByColumn);
    }
    return kNoError;
}

Plugin* CreatePluginObject(PluginRef pluginRef) noexcept {
    return new (std::nothrow) QuorvanePlugin(pluginRef);
}

void RebindAfterReload(Plugin* plugin) noexcept {
    RemakeOverOwnStorage<QuorvanePlugin>(plugin);
}
