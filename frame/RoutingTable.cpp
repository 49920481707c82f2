#include "frame/RoutingTable.h"

#include "frame/Plugin.h"
#include "host/MessageNames.h"

namespace {

// Plugin's operation O, called on the plug-in the message is for (virtually, as every row).
template <ErrorCode (Plugin::*O)(HostMessage*)>
ErrorCode Call(Plugin& plugin, HostMessage* message) {
    return (plugin.*O)(message);
}

ErrorCode Answer0(Plugin& /*plugin*/, HostMessage* /*message*/) {
    return kNoError;
}

ErrorCode PurgeCaches(Plugin& plugin, HostMessage* /*message*/) {
    return plugin.OnCachePurge() ? kCachesPurgedResult : kNoError;
}

constexpr SelectorRoute kAccess[] = {{kUnloadSelector, Call<&Plugin::OnUnload>},
                                     {kReloadSelector, Call<&Plugin::OnReload>}};
// The entry point has handled start-up before it dispatches; About has nothing to do.
constexpr SelectorRoute kInterface[] = {{kAboutSelector, Answer0}, {kStartupSelector, Answer0}};
constexpr SelectorRoute kCache[] = {{kPurgeSelector, PurgeCaches}};
constexpr SelectorRoute kProperties[] = {{kAcquireSelector, Call<&Plugin::OnPropertyAcquire>},
                                         {kReleaseSelector, Call<&Plugin::OnPropertyRelease>}};
constexpr SelectorRoute kActionManager[] = {{kDoActionSelector, Call<&Plugin::OnDoAction>}};
constexpr SelectorRoute kMenu[] = {{kGoSelector, Call<&Plugin::OnMenuGo>},
                                   {kUpdateSelector, Call<&Plugin::OnMenuUpdate>}};
constexpr SelectorRoute kFilter[] = {{kGetParametersSelector, Call<&Plugin::OnFilterGetParameters>},
                                     {kGoSelector, Call<&Plugin::OnFilterGo>}};
constexpr SelectorRoute kPluginGroup[] = {
    {kNotifyEditsSelector, Call<&Plugin::OnPluginGroupNotifyEdits>},
    {kUpdateSelector, Call<&Plugin::OnPluginGroupUpdate>}};
constexpr SelectorRoute kFileFormat[] = {
    {kGetParametersSelector, Call<&Plugin::OnFileFormatGetParameters>},
    {kGoSelector, Call<&Plugin::OnFileFormatGo>},
    {kCheckSelector, Call<&Plugin::OnFileFormatCheck>},
    {kFileFormatUpdateSelector, Call<&Plugin::OnFileFormatUpdate>},
    {kDoActionSelector, Call<&Plugin::OnFileFormatDoAction>},
};
constexpr SelectorRoute kTool[] = {
    {kEditOptionsSelector, Call<&Plugin::OnToolEditOptions>},
    {kTrackCursorSelector, Call<&Plugin::OnToolTrackCursor>},
    {kMouseDownSelector, Call<&Plugin::OnToolMouseDown>},
    {kMouseDragSelector, Call<&Plugin::OnToolMouseDrag>},
    {kMouseUpSelector, Call<&Plugin::OnToolMouseUp>},
    {kSelectSelector, Call<&Plugin::OnToolSelect>},
    {kDeselectSelector, Call<&Plugin::OnToolDeselect>},
    {kReselectSelector, Call<&Plugin::OnToolReselect>},
    {kDecreaseDiameterSelector, Call<&Plugin::OnToolDecreaseDiameter>},
    {kIncreaseDiameterSelector, Call<&Plugin::OnToolIncreaseDiameter>},
};
// The scale test comes before the colour-space test although colour space has the lower
// slot.
constexpr SelectorRoute kLiveEffect[] = {
    {kEditParametersSelector, Call<&Plugin::OnLiveEffectEditParameters>},
    {kGoLiveSelector, Call<&Plugin::OnLiveEffectGoLive>},
    {kInterpolateParametersSelector, Call<&Plugin::OnLiveEffectInterpolateParameters>},
    {kInputTypeSelector, Call<&Plugin::OnLiveEffectInputType>},
    {kScaleParametersSelector, Call<&Plugin::OnLiveEffectScaleParameters>},
    {kConvertColorSpaceSelector, Call<&Plugin::OnLiveEffectConvertColorSpace>},
    {kAdjustColorsSelector, Call<&Plugin::OnLiveEffectAdjustColors>},
    {kHandleMergeSelector, Call<&Plugin::OnLiveEffectHandleMerge>},
};
constexpr SelectorRoute kTimer[] = {{kGoSelector, Call<&Plugin::OnTimerGo>}};
constexpr SelectorRoute kClipboard[] = {{kGoSelector, Call<&Plugin::OnClipboardGo>},
                                        {kCanCopySelector, Call<&Plugin::OnClipboardCanCopy>},
                                        {kCloneSelector, Call<&Plugin::OnClipboardClone>},
                                        {kDisposeSelector, Call<&Plugin::OnClipboardDispose>}};
// The host's selector texts, misspelling included.
constexpr SelectorRoute kWorkspace[] = {
    {kWriteWorkspaceSelector, Call<&Plugin::OnWorkspaceWrite>},
    {kRestoreWorkspaceSelector, Call<&Plugin::OnWorkspaceRestore>},
    {kDefaultWorkspaceSelector, Call<&Plugin::OnWorkspaceDefault>}};
constexpr CallerRoute kCallers[] = {
    {kAccessCaller, kAccess},
    {kInterfaceCaller, kInterface},
    {kCacheCaller, kCache},
    {kPropertiesCaller, kProperties},
    {kNotifierCaller, {}},
    {kActionManagerCaller, kActionManager},
    {kMenuCaller, kMenu},
    {kFilterCaller, kFilter},
    {kPluginGroupCaller, kPluginGroup},
    {kFileFormatCaller, kFileFormat},
    {kToolCaller, kTool},
    {kLiveEffectCaller, kLiveEffect},
    {kTimerCaller, kTimer},
    {kClipboardCaller, kClipboard},
    {kWorkspaceCaller, kWorkspace},
};

}  // namespace

std::span<const CallerRoute> RoutingTable() {
    return kCallers;
}
