#include "effect/orv_q12.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "editor/editor.h"

namespace {

const PluginConstants kConstants = {
    ORV_Q12::kParamCount,
    "1-1 2-2",
    1,
    identity::kProductName,
    "",
    identity::kVendorName,
    identity::kVst2UniqueId,
    identity::kVst2MakerCode,
    identity::kVersionWord,
};

// A switch position as the engines see it: truncated, plus 0.5, truncated again. NaN (which a
// state chunk may carry) counts as off instead of reaching an undefined conversion.
int SwitchPosition(double v) {
    if (!(std::fabs(v) < 2147483647.0)) return 0;
    return static_cast<int>(static_cast<int>(v) + 0.5);
}

}  // namespace

ORV_Q12::ORV_Q12(EffectHost host, EditorFactory makeEditor) : EffectAdapter(host, kConstants) {
    // Short of memory: the entry point deletes the object again.
    if (!IsComplete()) return;
    oversampleFactor = 2;
    engaged = true;
    DeclareParameters();
    if (!AddPreset(kWebAddress, 1)) {
        MarkIncomplete();
        return;
    }
    if (makeEditor != nullptr && !BuildEditor(makeEditor(this))) {
        MarkIncomplete();
        return;
    }
    // Constructed at 2x although "Quality" defaults to 1: the factor follows the parameter
    // from the first time the host reports it (effOpen).
    quality = 0;
    oversampleFactor = 2;
    oversamplers[0].SetFactor(oversampleFactor);
    oversamplers[1].SetFactor(oversampleFactor);
    lastSampleRate = sampleRate;
    PrepareEngines();
}

// The editor goes first, while everything its controls may reach is still alive.
ORV_Q12::~ORV_Q12() { DeleteEditor(); }

EffectAdapter* ORV_Q12::Create(EffectHost host) { return new (std::nothrow) ORV_Q12(host); }

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

void ORV_Q12::PrepareEngines() {
    engines[0].Prepare(oversampleFactor * lastSampleRate);
    engines[1].Prepare(oversampleFactor * lastSampleRate);
    WarmUp();
}

void ORV_Q12::WarmUp() {
    LockGuard guard(lock);
    // 0.3 s of the host rate, half as much again below 50000 passes.
    int count = static_cast<int>(static_cast<int>(sampleRate) * 0.3);
    if (count < 50000) count = static_cast<int>(count * 1.5);
    // Both engines side by side, a stack buffer of silence at a time.
    constexpr int kChunk = 512;
    for (int done = 0; done < count; done += kChunk) {
        const int n = std::min(kChunk, count - done);
        double silence0[kChunk] = {};
        double silence1[kChunk] = {};
        ChannelEngine::ProcessPair(engines[0], silence0, engines[1], silence1, n);
    }
    engines[0].KeepRestState();
    engines[1].KeepRestState();
}

void ORV_Q12::HealEngines() {
    for (int c = 0; c < 2; ++c) {
        if (!engines[c].IsHealthy()) engines[c].RestoreRestState();
        if (!oversamplers[c].IsHealthy()) oversamplers[c].Reset();
    }
}

void ORV_Q12::ResetState() {
    LockGuard guard(lock);
    if (sampleRate == lastSampleRate) return;
    lastSampleRate = sampleRate;
    PrepareEngines();
}

void ORV_Q12::ParamChanged(int index) {
    LockGuard guard(lock);
    const int previousQuality = quality;
    if (IsValidParam(index)) {
        const double value = Param(index)->value;
        switch (index) {
            case kInput: inputGain = value; break;
            case kDrive: drive = value; break;
            case kFilter: filter = value; break;
            case kVolume: volume = value; break;
            case kStereo: stereo = SwitchPosition(value); break;
            case kQuality: quality = SwitchPosition(value); break;
            // The nearest position, as the panel shows it; NaN (from a chunk) processes.
            case kBypass: engaged = !(value >= 0.5); break;
            default: break;
        }
    }
    oversampleFactor = quality != 0 ? 4 : 2;
    if (quality != previousQuality) {
        oversamplers[0].SetFactor(oversampleFactor);
        oversamplers[1].SetFactor(oversampleFactor);
        PrepareEngines();
    }
    for (ChannelEngine& engine : engines) {
        engine.SetControls(drive / 10, filter / 10, volume / 10);
        engine.ApplyChanges();
    }
}

void ORV_Q12::ProcessBlock(double** inputs, double** outputs, int frames) {
    for (int offset = 0; offset < frames; offset += kMaxFrames) {
        ProcessPiece(inputs, outputs, std::min(kMaxFrames, frames - offset), offset);
    }
    // Whatever got in (a huge sample, say, overflowing inside a filter or pinning the circuit
    // for seconds), the next block plays.
    HealEngines();
}

void ORV_Q12::ApplyInputGain(const double* input, double* gained, int frames) const {
    for (int i = 0; i < frames; ++i) {
        // Checked after the gain: a huge finite sample can overflow in the product.
        const double sample = input[i] * inputGain;
        gained[i] = std::isfinite(sample) ? sample : 0.0;
    }
}

void ORV_Q12::ProcessPiece(double** inputs, double** outputs, int n, int offset) {
    const double* in0 = inputs[0] + offset;
    const double* in1 = inputs[1] + offset;
    double* out0 = outputs[0] + offset;
    double* out1 = outputs[1] + offset;

    if (!engaged) {
        std::memmove(out0, in0, sizeof(double) * n);
        std::memmove(out1, in1, sizeof(double) * n);
        return;
    }

    const int factor = oversamplers[0].Factor();
    const int oversampled = factor * n;
    const int channels = stereo != 0 ? 2 : 1;
    for (int c = 0; c < channels; ++c) {
        ApplyInputGain(c == 0 ? in0 : in1, inputBuffer[c], n);
        oversamplers[c].Upsample(inputBuffer[c], oversampledBuffer[c], n);
    }
    // Each channel's engine only ever sees its own samples; in stereo the two run side by side.
    if (channels == 2) {
        ChannelEngine::ProcessPair(engines[0], oversampledBuffer[0], engines[1],
                                   oversampledBuffer[1], oversampled);
    } else {
        for (int j = 0; j < oversampled; ++j) engines[0].ProcessSample(oversampledBuffer[0][j]);
    }
    if (channels == 2) {
        Oversampler::DownsamplePair(oversamplers[0], oversampledBuffer[0], outputBuffer[0],
                                    oversamplers[1], oversampledBuffer[1], outputBuffer[1], n);
    } else {
        oversamplers[0].Downsample(oversampledBuffer[0], outputBuffer[0], n);
    }

    const double* left = outputBuffer[0];
    const double* right = outputBuffer[channels - 1];
    for (int i = 0; i < n; ++i) {
        out0[i] = left[i] * volume;
        out1[i] = right[i] * volume;
    }
}
