// ORV Q12, the overdrive effect: its seven parameters and its processing.
// Lifecycle: created by the module's entry point, one per host instance, deleted on effClose.
// Threads: ResetState, ParamChanged and ProcessBlock run with the plug-in lock held (the
// adapter's callbacks take it), so processing and parameter changes never overlap.
#pragma once

#include "vst/vst_plugin.h"

class ORV_Q12 : public VstPlugin {
public:
    enum ParamIndex { kInput, kDrive, kFilter, kVolume, kStereo, kQuality, kBypass, kParamCount };

    // The maker's web address names preset 0; it fits a host's 24-byte program-name buffer.
    static constexpr const char* kWebAddress = "orv-audio.example";

    explicit ORV_Q12(vst2::audioMasterCallback host);

private:
    void DeclareParameters();
};
