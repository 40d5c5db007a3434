#include "effect/orv_q12.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

using namespace vst2;

namespace {

std::unique_ptr<ORV_Q12> Make() { return std::make_unique<ORV_Q12>(nullptr); }

intptr Dispatch(ORV_Q12& fx, int32 opcode, int32 index = 0, intptr value = 0, float opt = 0) {
    return fx.Effect()->dispatcher(fx.Effect(), opcode, index, value, nullptr, opt);
}

}  // namespace

TEST(OrvQ12Test, ConstructedAtTwoTimesUntilOpenReportsQuality) {
    auto fx = Make();
    EXPECT_EQ(fx->OversampleFactor(), 2) << "constructed at 2x although Quality defaults to 1";
    EXPECT_EQ(fx->Param(ORV_Q12::kQuality)->value, 1);
    Dispatch(*fx, effOpen);
    EXPECT_EQ(fx->OversampleFactor(), 4);
    fx->Effect()->setParameter(fx->Effect(), ORV_Q12::kQuality, 0.0f);
    EXPECT_EQ(fx->OversampleFactor(), 2);
    fx->Effect()->setParameter(fx->Effect(), ORV_Q12::kQuality, 1.0f);
    EXPECT_EQ(fx->OversampleFactor(), 4);
}

TEST(OrvQ12Test, PlatformEditorFlagAndPresetZeroNamedForTheMaker) {
    auto fx = Make();
    EXPECT_EQ(fx->Effect()->flags, ORV_PLATFORM_EFFECT_FLAGS);
    EXPECT_STREQ(fx->PresetName(0), ORV_Q12::kWebAddress);
    EXPECT_LT(std::strlen(ORV_Q12::kWebAddress), std::size_t{kVstMaxProgNameLen});
}

TEST(OrvQ12Test, AStateWithNaNSwitchesLeavesThemOff) {
    auto fx = Make();
    Dispatch(*fx, effOpen);
    fx->Param(ORV_Q12::kQuality)->value = std::numeric_limits<double>::quiet_NaN();
    fx->ParamChanged(ORV_Q12::kQuality);
    EXPECT_EQ(fx->OversampleFactor(), 2);
}
