#include "dsp/channel_engine.h"

void ChannelEngine::Prepare(double sampleRate) {
    sampleRate_ = sampleRate;
    chain_.driveStage.SetCoefficients(sampleRate, driveControl_.Value());
    chain_.clipperStage.SetCoefficients(sampleRate, filterControl_.Value());
    chain_.inputHighPass.Prepare(5.0, sampleRate);
    chain_.outputHighPass.Prepare(16.0, sampleRate);
    chain_.preLowPass.Prepare(15900.0, sampleRate);
}

void ChannelEngine::KeepRestState() {
    if (IsHealthy()) rest_ = chain_;
}

void ChannelEngine::SetControls(double drive, double filter, double volume) {
    driveControl_.SelectAudioTaper(true);
    driveControl_.Set(drive);
    filterControl_.SelectAudioTaper(true);
    filterControl_.Set(filter);
    volumeControl_.SelectAudioTaper(true);
    volumeControl_.Set(volume);
}

void ChannelEngine::ApplyChanges() {
    if (driveControl_.Changed()) {
        driveControl_.ClearChanged();
        chain_.driveStage.SetCoefficients(sampleRate_, driveControl_.Value());
    }
    if (filterControl_.Changed()) {
        filterControl_.ClearChanged();
        chain_.clipperStage.SetCoefficients(sampleRate_, filterControl_.Value());
    }
    // Volume is read per sample and needs no recomputation.
}

void ChannelEngine::ProcessPair(ChannelEngine& first, double* firstSamples, ChannelEngine& second,
                                double* secondSamples, int n) {
    AmplifierChain<LanePair> chain;
    chain.Join(first.chain_, second.chain_);
    const LanePair volume = {first.volumeControl_.Value(), second.volumeControl_.Value()};
    for (int i = 0; i < n; ++i) {
        const LanePair out = chain.Process(LanePair{firstSamples[i], secondSamples[i]}, volume);
        firstSamples[i] = out[0];
        secondSamples[i] = out[1];
    }
    chain.Split(first.chain_, second.chain_);
}
