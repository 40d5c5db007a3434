// The audio and parameter callbacks of the AEffect. Each holds the plug-in lock throughout and
// allocates nothing: the scratch buffers were sized by SetBlockSize.
#include "adapter/host_audio.h"
#include "adapter/host_params.h"
#include "vst/vst_plugin.h"

using namespace vst2;

void VstPlugin::ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate) {
    LockGuard guard(lock);
    if (receivesMidi) HostCall(audioMasterWantMidi);
    ProcessHostAudio(*this, inputs, outputs, 0, frames, accumulate);
}

void VstPlugin::ProcessDouble(double** inputs, double** outputs, int frames) {
    LockGuard guard(lock);
    if (receivesMidi) HostCall(audioMasterWantMidi);
    ProcessHostAudio(*this, inputs, outputs, 0, frames);
}

void VstPlugin::Process(AEffect* effect, float** inputs, float** outputs, int32 sampleFrames) {
    if (VstPlugin* plug = FromEffect(effect))
        plug->ProcessSingle(inputs, outputs, sampleFrames, true);
}

void VstPlugin::ProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                 int32 sampleFrames) {
    if (VstPlugin* plug = FromEffect(effect)) {
        plug->ProcessSingle(inputs, outputs, sampleFrames, false);
    }
}

void VstPlugin::ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                       int32 sampleFrames) {
    if (VstPlugin* plug = FromEffect(effect)) plug->ProcessDouble(inputs, outputs, sampleFrames);
}

float VstPlugin::GetParameter(AEffect* effect, int32 index) {
    VstPlugin* plug = FromEffect(effect);
    return plug != nullptr ? static_cast<float>(HostParamValue(*plug, index)) : 0.0f;
}

void VstPlugin::SetParameter(AEffect* effect, int32 index, float value) {
    if (VstPlugin* plug = FromEffect(effect)) ApplyHostParam(*plug, index, value);
}
