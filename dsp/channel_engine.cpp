#include "dsp/channel_engine.h"

void ChannelEngine::Prepare(double sampleRate) {
    sampleRate_ = sampleRate;
    driveStage_.SetCoefficients(sampleRate, driveControl_.Value());
    clipperStage_.SetCoefficients(sampleRate, filterControl_.Value());
    inputHighPass_.Prepare(5.0, sampleRate);
    outputHighPass_.Prepare(16.0, sampleRate);
    preLowPass_.Prepare(15900.0, sampleRate);
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
        driveStage_.SetCoefficients(sampleRate_, driveControl_.Value());
    }
    if (filterControl_.Changed()) {
        filterControl_.ClearChanged();
        clipperStage_.SetCoefficients(sampleRate_, filterControl_.Value());
    }
    // Volume is read per sample and needs no recomputation.
}
