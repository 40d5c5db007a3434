#include "effect/orv_q12.h"

namespace {

const PluginConstants kConstants = {
    ORV_Q12::kParamCount,
    "1-1 2-2",
    1,
    "ORV Q12",
    "",
    "ORV AUDIO",
    vst2::FourCharCode('z', 'Q', '7', '1'),
    ('O' << 16) | ('R' << 8) | 'V',
    0x00010100,
};

}  // namespace

ORV_Q12::ORV_Q12(vst2::audioMasterCallback host) : VstPlugin(host, kConstants) {
    DeclareParameters();
    AddPreset(kWebAddress, 1);
}

void ORV_Q12::DeclareParameters() {
    struct Declaration {
        const char* name;
        ParamType type;
        double min, max, defaultValue, step;
    };
    // Each parameter's label is its name; every taper is linear.
    static constexpr Declaration kDeclarations[kParamCount] = {
        {"Input", ParamType::Continuous, 0.0001, 2, 1, 0.001},
        {"Drive", ParamType::Continuous, 0, 10, 5, 0.001},
        {"Filter", ParamType::Continuous, 0, 10, 5, 0.001},
        {"Volume", ParamType::Continuous, 0, 10, 5, 0.001},
        {"Stereo", ParamType::Stepped, 0, 1, 0, 1},
        {"Quality", ParamType::Stepped, 0, 1, 1, 1},
        {"Bypass", ParamType::Stepped, 0, 1, 0, 1},
    };
    for (int i = 0; i < kParamCount; ++i) {
        const Declaration& d = kDeclarations[i];
        PluginParam* param = Param(i);
        param->type = d.type;
        param->InitParam(d.name, d.defaultValue, d.min, d.max, d.step, d.name, 1);
    }
}
