#include "frame/PluginMain.h"

extern "C" QUORVANE_EXPORT ErrorCode PluginMain(const char*, const char*, void*) { return 0; }
