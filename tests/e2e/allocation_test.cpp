// Proves that the audio and parameter callbacks allocate nothing: this program replaces the C
// allocator (every operator new ends there too) with one that counts calls while armed.
#include <vector>

#include "tests/e2e/module_fixture.h"
#include "tests/support/counting_allocator.h"

TEST_F(ModuleTest, AudioAndParameterCallbacksAllocateNothing) {
    host::HostedEffect fx = Create();
    fx.Start(48000, 512);
    std::vector<float> in(2048, 0.5f), out0(2048), out1(2048);
    std::vector<double> din(2048, 0.5), dout0(2048), dout1(2048);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    double* dinputs[] = {din.data(), din.data()};
    double* doutputs[] = {dout0.data(), dout1.data()};
    // A block of samples far beyond any signal, after which the engines heal themselves.
    std::vector<double> huge(512, 1e300);
    double* hugeInputs[] = {huge.data(), huge.data()};

    {
        AllocationCounter counter;
        for (int block = 0; block < 50; ++block) {
            fx.ProcessReplacing(inputs, outputs, 512);
            fx.Process(inputs, outputs, 512);
            fx.ProcessDoubleReplacing(dinputs, doutputs, 512);
            fx.ProcessReplacing(inputs, outputs, 2048);  // longer than the block size
            fx.ProcessDoubleReplacing(hugeInputs, doutputs, 512);
            fx.SetParameter(block % 7, 0.3f);
            fx.GetParameter(block % 7);
        }
        EXPECT_EQ(counter.Count(), 0);
    }
    // The counter does see the module's allocations: resizing its buffers reallocates them.
    AllocationCounter counter;
    fx.Dispatch(vst2::effSetBlockSize, 0, 8192);
    EXPECT_GE(counter.Count(), 4);
}
