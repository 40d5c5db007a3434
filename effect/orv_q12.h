// ORV Q12, the overdrive effect: seven parameters, two channel engines behind two oversamplers,
// and a pedal's panel. "Bypass" is the pedal's lasting state: 1 passes the input through
// unchanged, 0 runs the circuit; the footswitch flips it and the status light shows it.
// Lifecycle: created by the module's entry point, one per host instance, deleted when the host
// destroys that instance.
// Threads: ResetState, ParamChanged and ProcessBlock run with the plug-in lock held (the
// adapter's callbacks take it; the first two also take it themselves), so processing,
// parameter changes and re-preparation of the engines never overlap.
#pragma once

#include "dsp/channel_engine.h"
#include "dsp/oversampler.h"
#include "effect/editor_factory.h"
#include "generated/orv_identity.h"

// The adapter of the module being built names EffectAdapter, the class the effect derives from,
// and EffectHost, what the module's entry point hands the effect's constructor (orv_effect_library
// in effect/CMakeLists.txt gives the header's name).
#ifndef ORV_EFFECT_ADAPTER
#error "ORV_EFFECT_ADAPTER names the adapter header of the module being built"
#endif
#include ORV_EFFECT_ADAPTER

class ORV_Q12 : public EffectAdapter {
public:
    enum ParamIndex { kInput, kDrive, kFilter, kVolume, kStereo, kQuality, kBypass, kParamCount };

    // The maker's web address names preset 0; it fits a host's 24-byte program-name buffer.
    static constexpr const char* kWebAddress = identity::kWebAddress;
    // The largest block one pass through the buffers holds; longer blocks go in pieces.
    static constexpr int kMaxFrames = 4096;
    static constexpr int kMaxOversampling = 8;

    // The editor comes from makeEditor: the platform's own unless a test or tool hands in
    // another (a HeadlessEditor, say).
    explicit ORV_Q12(EffectHost host, EditorFactory makeEditor = &CreatePlatformEditor);
    ~ORV_Q12() override;

    // The entry point's factory: a new object, or null when memory is short. Never throws.
    static EffectAdapter* Create(EffectHost host);

    void ResetState() override;
    void ParamChanged(int index) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    int OversampleFactor() const { return oversampleFactor; }
    bool Engaged() const { return engaged; }

private:
    void DeclareParameters();
    // The panel: background, knobs, switches, footswitch, input strip and status light, attached
    // to the plug-in (orv_q12_editor.cpp). False when any of it could not be had (no editor
    // included).
    bool BuildEditor(std::unique_ptr<Editor> editor);
    // Prepares both engines for the oversampled rate and lets them settle.
    void PrepareEngines();
    // Feeds the freshly prepared engines silence until their states rest, and keeps that
    // rest state for HealEngines.
    void WarmUp();
    // Puts an engine or oversampler whose state is no longer healthy (not finite, or far beyond
    // anything a signal leaves there) back to its rest state.
    void HealEngines();
    // One piece of at most kMaxFrames frames through the circuit.
    void ProcessPiece(double** inputs, double** outputs, int frames, int offset);
    // Input samples times the input gain; a product that is not finite counts as silence.
    void ApplyInputGain(const double* input, double* gained, int frames) const;

    ChannelEngine engines[2];
    Oversampler oversamplers[2];
    double inputBuffer[2][kMaxFrames];
    double oversampledBuffer[2][kMaxOversampling * kMaxFrames];
    double outputBuffer[2][kMaxFrames];
    int stereo = 0;
    int quality = 0;
    int oversampleFactor = 2;
    bool engaged = true;
    double inputGain = 0;
    double drive = 0;
    double filter = 0;
    double volume = 0;
    double lastSampleRate = 0;
};
