// The amplifier model of one audio channel, run one oversampled sample at a time: input
// high-pass, pre-filter low-pass, drive stage, diode clipper, static shaper, output high-pass,
// volume. Prepare, SetControls and ApplyChanges come from the effect's parameter and sample-rate
// handling, ProcessSample from its audio callback; the effect serialises them under its lock.
// Copyable: every table it reads is process-wide and read-only.
#pragma once

#include "dsp/clipper_stage.h"
#include "dsp/drive_stage.h"
#include "dsp/rc_filters.h"
#include "dsp/static_shaper.h"
#include "dsp/tapered_control.h"

class ChannelEngine {
public:
    ChannelEngine() = default;

    // sampleRate is the oversampled rate in Hz. Recomputes every coefficient from the current
    // control values; filter states survive, except the pre-filter's settling pass.
    void Prepare(double sampleRate);

    // Knob positions 0..1 (values outside are clamped), audio taper applied. Takes effect at
    // ApplyChanges for drive and filter, at the next sample for volume.
    void SetControls(double drive, double filter, double volume);

    // Recomputes the stages whose control moved by more than 1e-9 since they were last computed.
    void ApplyChanges();

    // One oversampled sample in volts, replaced by the engine's output.
    void ProcessSample(double& sample) {
        double a = (sample + 1e-25) + 1e-25;
        a = inputHighPass_.Process(a);
        a = preLowPass_.Process(a + 1e-25);
        a = a * 0.954;
        a = driveStage_.Process(a);
        a = clipperStage_.Process(a);
        a = StaticShaper(a);
        a = outputHighPass_.Process(a + 1e-25);
        sample = a * volumeControl_.Value();
    }

    double SampleRate() const { return sampleRate_; }
    // Newton iterations the clipper needed for the last sample.
    int LastNewtonIterations() const { return clipperStage_.LastIterations(); }

private:
    TaperedControl driveControl_;
    TaperedControl filterControl_;
    TaperedControl volumeControl_;
    RcHighPass inputHighPass_;  // 5 Hz
    RcLowPass preLowPass_;      // 15900 Hz
    DriveStage driveStage_;
    ClipperStage clipperStage_;
    RcHighPass outputHighPass_;  // 16 Hz
    double sampleRate_ = 0.0;    // Hz, oversampled
};
