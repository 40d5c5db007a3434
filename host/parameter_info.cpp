#include "host/parameter_info.h"

using namespace vst2;

namespace host {

bool DescribeParameters(EntryPoint entry, RecordingHost& host, std::vector<ParameterInfo>* params) {
    AEffect* effect = host.Instantiate(entry);
    if (effect == nullptr) return false;
    HostedEffect probe(effect);
    probe.Dispatch(effOpen);

    const int count = effect->numParams > 0 ? effect->numParams : 0;
    params->assign(count, ParameterInfo{});
    // Every default is read before any parameter moves: one may show in another's display.
    for (int i = 0; i < count; ++i) {
        ParameterInfo& info = (*params)[i];
        info.name = probe.Text(effGetParamName, i);
        info.label = probe.Text(effGetParamLabel, i);
        info.initial = probe.Text(effGetParamDisplay, i);
    }
    for (int i = 0; i < count; ++i) {
        probe.SetParameter(i, 0.0f);
        (*params)[i].lowest = probe.Text(effGetParamDisplay, i);
        probe.SetParameter(i, 1.0f);
        (*params)[i].highest = probe.Text(effGetParamDisplay, i);
    }
    probe.Close();
    return true;
}

}  // namespace host
