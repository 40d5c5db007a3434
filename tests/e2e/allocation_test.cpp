// Proves that the audio and parameter callbacks allocate nothing: this program replaces the C
// allocator (every operator new ends there too) with one that counts calls while armed.
#include <atomic>
#include <cstddef>
#include <vector>

#include "tests/e2e/module_fixture.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* ptr, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {
std::atomic<bool> armed{false};
std::atomic<int> allocations{0};

void Count() {
    if (armed.load(std::memory_order_relaxed)) allocations.fetch_add(1);
}

// Counts the allocations made while it is alive.
class AllocationCounter {
public:
    AllocationCounter() {
        allocations = 0;
        armed = true;
    }
    ~AllocationCounter() { armed = false; }
    int Count() const { return allocations.load(); }
};
}  // namespace

extern "C" {
void* malloc(std::size_t size) {
    Count();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    Count();
    return __libc_calloc(count, size);
}
void* realloc(void* ptr, std::size_t size) {
    Count();
    return __libc_realloc(ptr, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    Count();
    *out = __libc_memalign(alignment, size);
    return *out != nullptr ? 0 : 12;
}
}

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
