// The amplifier model of one audio channel, run one oversampled sample at a time: input
// high-pass, pre-filter low-pass, drive stage, diode clipper, static shaper, output high-pass,
// volume. Prepare, SetControls and ApplyChanges come from the effect's parameter and sample-rate
// handling, ProcessSample and ProcessPair from its audio callback; the effect serialises them
// under its lock. Copyable: every table it reads is process-wide and read-only.
#pragma once

#include "dsp/clipper_stage.h"
#include "dsp/drive_stage.h"
#include "dsp/dsp_constants.h"
#include "dsp/lane_pair.h"
#include "dsp/rc_filters.h"
#include "dsp/static_shaper.h"
#include "dsp/tapered_control.h"

// The stages of the chain in signal order, for one engine (double) or two side by side
// (LanePair, joined from two engines' chains and split back into them).
template <typename Sample>
struct AmplifierChain {
    BasicRcHighPass<Sample> inputHighPass;  // 5 Hz
    BasicRcLowPass<Sample> preLowPass;      // 15900 Hz
    BasicDriveStage<Sample> driveStage;
    BasicClipperStage<Sample> clipperStage;
    BasicRcHighPass<Sample> outputHighPass;  // 16 Hz

    // One oversampled sample in volts; volume is the tapered Volume value.
    Sample Process(Sample sample, Sample volume) {
        Sample a = (sample + 1e-25) + 1e-25;
        a = inputHighPass.Process(a);
        a = preLowPass.Process(a + 1e-25);
        a = a * 0.954;
        a = driveStage.Process(a);
        a = clipperStage.Process(a);
        a = StaticShaper(a);
        a = outputHighPass.Process(a + 1e-25);
        return a * volume;
    }

    void Join(const AmplifierChain<double>& first, const AmplifierChain<double>& second) {
        inputHighPass.Join(first.inputHighPass, second.inputHighPass);
        preLowPass.Join(first.preLowPass, second.preLowPass);
        driveStage.Join(first.driveStage, second.driveStage);
        clipperStage.Join(first.clipperStage, second.clipperStage);
        outputHighPass.Join(first.outputHighPass, second.outputHighPass);
    }

    bool StateWithin(double limit) const {
        return inputHighPass.StateWithin(limit) && preLowPass.StateWithin(limit) &&
               driveStage.StateWithin(limit) && clipperStage.StateWithin(limit) &&
               outputHighPass.StateWithin(limit);
    }

    void RestoreStateFrom(const AmplifierChain& rest) {
        inputHighPass.RestoreStateFrom(rest.inputHighPass);
        preLowPass.RestoreStateFrom(rest.preLowPass);
        driveStage.RestoreStateFrom(rest.driveStage);
        clipperStage.RestoreStateFrom(rest.clipperStage);
        outputHighPass.RestoreStateFrom(rest.outputHighPass);
    }

    void Split(AmplifierChain<double>& first, AmplifierChain<double>& second) const {
        inputHighPass.Split(first.inputHighPass, second.inputHighPass);
        preLowPass.Split(first.preLowPass, second.preLowPass);
        driveStage.Split(first.driveStage, second.driveStage);
        clipperStage.Split(first.clipperStage, second.clipperStage);
        outputHighPass.Split(first.outputHighPass, second.outputHighPass);
    }
};

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
    void ProcessSample(double& sample) { sample = chain_.Process(sample, volumeControl_.Value()); }

    // Two different engines, each over its own n samples, computed side by side in two-lane
    // vectors: every sample and state comes out exactly as ProcessSample gives it.
    static void ProcessPair(ChannelEngine& first, double* firstSamples, ChannelEngine& second,
                            double* secondSamples, int n);

    // Keeps the current state as the rest state to come back to: the effect calls it once the
    // engine has settled after a Prepare. An unhealthy state is not kept.
    void KeepRestState();
    // False once a state is not a finite number or lies beyond kStateLimit.
    bool IsHealthy() const { return chain_.StateWithin(kStateLimit); }
    // Puts the kept rest state back; the coefficients stay as they are. Allocates nothing.
    void RestoreRestState() { chain_.RestoreStateFrom(rest_); }

    double SampleRate() const { return sampleRate_; }
    // Newton iterations the clipper needed for the last sample.
    int LastNewtonIterations() const { return chain_.clipperStage.LastIterations(); }

private:
    TaperedControl driveControl_;
    TaperedControl filterControl_;
    TaperedControl volumeControl_;
    AmplifierChain<double> chain_;
    AmplifierChain<double> rest_;  // only its states are used
    double sampleRate_ = 0.0;  // Hz, oversampled
};
