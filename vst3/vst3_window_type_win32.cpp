#include "vst3/vst3_view.h"

const char* NativeWindowType() { return vst3::kPlatformTypeHwnd; }
