#include "host/parameter_info.h"

namespace host {

bool DescribeParameters(PluginModule& module, std::vector<ParameterInfo>* params) {
    const std::unique_ptr<PluginInstance> probe = module.CreateInstance();
    if (probe == nullptr) return false;

    const int count = probe->ParamCount() > 0 ? probe->ParamCount() : 0;
    params->assign(count, ParameterInfo{});
    // Every default is read before any parameter moves: one may show in another's display.
    for (int i = 0; i < count; ++i) {
        ParameterInfo& info = (*params)[i];
        info.name = probe->ParamName(i);
        info.label = probe->ParamLabel(i);
        info.initial = probe->ParamDisplay(i);
    }
    for (int i = 0; i < count; ++i) {
        ParameterInfo& info = (*params)[i];
        if (probe->ParamDisplayOf(i, 0.0, &info.lowest) &&
            probe->ParamDisplayOf(i, 1.0, &info.highest)) {
            continue;
        }
        probe->SetParam(i, 0.0);
        info.lowest = probe->ParamDisplay(i);
        probe->SetParam(i, 1.0);
        info.highest = probe->ParamDisplay(i);
    }
    return true;
}

}  // namespace host
