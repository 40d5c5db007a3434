// The audio and parameter callbacks of the AEffect. Each holds the plug-in lock throughout and
// allocates nothing: the scratch buffers were sized by SetBlockSize.
#include <algorithm>
#include <cmath>

#include "editor/editor.h"
#include "vst/vst_plugin.h"

using namespace vst2;

template <typename Piece>
void VstPlugin::InPieces(const void* inputs, const void* outputs, int frames, Piece piece) {
    if (receivesMidi) HostCall(audioMasterWantMidi);
    if (inputs == nullptr || outputs == nullptr || blockSize < 1) return;
    // A host block longer than the scratch buffers goes through in consecutive pieces.
    for (int done = 0; done < frames;) {
        const int frameCount = std::min(frames - done, blockSize);
        piece(done, frameCount);
        done += frameCount;
    }
}

void VstPlugin::ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate) {
    LockGuard guard(lock);
    InPieces(inputs, outputs, frames, [&](int done, int piece) {
        int k = 0;
        for (int i = 0; i < NInputs(); ++i) {
            InputChannel* channel = Input(i);
            if (!channel->connected) continue;
            const float* source = inputs[k++] + done;
            double* scratch = channel->Scratch();
            for (int s = 0; s < piece; ++s) scratch[s] = source[s];
            *channel->slot = scratch;
        }
        k = 0;
        for (int i = 0; i < NOutputs(); ++i) {
            OutputChannel* channel = Output(i);
            if (!channel->connected) continue;
            *channel->slot = channel->Scratch();
            channel->destination = outputs[k++] + done;
        }

        ProcessBlock(InputSlots(), OutputSlots(), piece);

        for (int i = 0; i < NOutputs(); ++i) {
            OutputChannel* channel = Output(i);
            if (!channel->connected) continue;
            const double* result = channel->Scratch();
            float* destination = channel->destination;
            if (accumulate) {
                for (int s = 0; s < piece; ++s) destination[s] += static_cast<float>(result[s]);
            } else {
                for (int s = 0; s < piece; ++s) destination[s] = static_cast<float>(result[s]);
            }
        }
    });
}

void VstPlugin::ProcessDouble(double** inputs, double** outputs, int frames) {
    LockGuard guard(lock);
    // The host's buffers go straight to the effect; the pieces keep a disconnected channel's
    // scratch buffer from being overrun by a longer host block.
    InPieces(inputs, outputs, frames, [&](int done, int piece) {
        int k = 0;
        for (int i = 0; i < NInputs(); ++i) {
            if (Input(i)->connected) *Input(i)->slot = inputs[k++] + done;
        }
        k = 0;
        for (int i = 0; i < NOutputs(); ++i) {
            if (Output(i)->connected) *Output(i)->slot = outputs[k++] + done;
        }
        ProcessBlock(InputSlots(), OutputSlots(), piece);
    });
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
    if (plug == nullptr) return 0.0f;
    LockGuard guard(plug->lock);
    return plug->IsValidParam(index) ? static_cast<float>(plug->Param(index)->NormalizedValue())
                                     : 0.0f;
}

void VstPlugin::SetParameter(AEffect* effect, int32 index, float value) {
    VstPlugin* plug = FromEffect(effect);
    if (plug == nullptr) return;
    LockGuard guard(plug->lock);
    // A value that is not finite would latch the effect; the parameter keeps its value.
    if (!plug->IsValidParam(index) || !std::isfinite(value)) return;
    // Below 0 the parameter would leave its range, to be shown, saved and played out of it.
    const float normalized = std::min(std::max(value, 0.0f), 1.0f);
    PluginParam* param = plug->Param(index);
    param->ApplyNormalized(normalized);
    // What the parameter stored (a switch's snapped position), so that the next click flips it.
    if (plug->editor != nullptr) {
        plug->editor->ReceiveParamFromPlugin(index, param->NormalizedValue(), true);
    }
    plug->ParamChanged(index);
}
