// The effect when memory runs short: creation fails cleanly at every allocation it makes, and a
// block size that cannot be had leaves every channel pointing at memory it owns.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effect/orv_q12.h"
#include "tests/effect/failing_allocator.h"
#include "vst/vst_entry.h"

using namespace vst2;

namespace {

AEffect* CreateEffect() { return CreateVstEffect(nullptr, &ORV_Q12::Create); }

void Close(AEffect* effect) { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

}  // namespace

TEST(MemoryShortage, CreationFailsAtEveryAllocationWithNullAndLeavesNothing) {
    // Whatever the first instance sets up for the whole process is not counted below.
    Close(CreateEffect());
    failing_allocator::Arm(0);
    AEffect* counted = CreateEffect();
    const long allocations = failing_allocator::Disarm();
    ASSERT_NE(counted, nullptr);
    Close(counted);
    ASSERT_GT(allocations, 20) << "the counter sees the parameters, presets and channels";

    for (long n = 1; n <= allocations; ++n) {
        failing_allocator::Arm(n);
        AEffect* effect = CreateEffect();
        const long live = failing_allocator::Live();
        failing_allocator::Disarm();
        EXPECT_EQ(effect, nullptr) << "allocation " << n << " failed";
        EXPECT_EQ(live, 0) << "blocks left behind when allocation " << n << " failed";
        if (effect != nullptr) Close(effect);
    }
    AEffect* after = CreateEffect();
    ASSERT_NE(after, nullptr) << "the entry lock was released every time";
    Close(after);
}

TEST(MemoryShortage, AFailedBlockSizeLeavesEverySlotOnLiveMemory) {
    AEffect* effect = CreateEffect();
    ASSERT_NE(effect, nullptr);
    auto* plug = static_cast<ORV_Q12*>(effect->object);
    VstSpeakerArrangement mono{};
    mono.type = kSpeakerArrMono;
    mono.numChannels = 1;
    effect->dispatcher(effect, effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&mono), &mono,
                       0.0f);
    ASSERT_FALSE(plug->Input(1)->connected);
    ASSERT_FALSE(plug->Output(1)->connected);

    // Each scratch buffer, inputs first, grows in turn; the third cannot, and the two grown
    // ones shrink back, moving again.
    failing_allocator::Arm(3);
    effect->dispatcher(effect, effSetBlockSize, 0, 8192, nullptr, 0.0f);
    failing_allocator::Disarm();
    EXPECT_EQ(plug->BlockSize(), 1024);
    EXPECT_EQ(*plug->Input(1)->slot, plug->Input(1)->Scratch());
    EXPECT_EQ(*plug->Output(1)->slot, plug->Output(1)->Scratch());

    // Under the address sanitizer a stale slot shows as a read or write of freed memory.
    std::vector<float> in(1024, 0.25f), out0(1024), out1(1024);
    float* inputs[] = {in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    effect->processReplacing(effect, inputs, outputs, 1024);
    std::vector<double> din(1024, 0.25), dout0(1024), dout1(1024);
    double* dinputs[] = {din.data()};
    double* doutputs[] = {dout0.data(), dout1.data()};
    effect->processDoubleReplacing(effect, dinputs, doutputs, 1024);
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(std::isfinite(dout0[i])) << i;
    Close(effect);
}
