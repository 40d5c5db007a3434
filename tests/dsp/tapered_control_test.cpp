#include "dsp/tapered_control.h"

#include <gtest/gtest.h>

namespace {

TaperedControl AudioTapered(double x) {
    TaperedControl control;
    control.SelectAudioTaper(true);
    control.Set(x);
    return control;
}

TEST(TaperedControl, StartsAtHalfWithoutTaperAndMarkedChanged) {
    TaperedControl control;
    EXPECT_EQ(control.Value(), 0.5);
    EXPECT_EQ(control.Target(), 0.5);
    EXPECT_TRUE(control.Changed());
}

TEST(TaperedControl, AudioTaperPassesThroughItsDesignPoints) {
    EXPECT_EQ(AudioTapered(0.0).Value(), 0.0);
    EXPECT_NEAR(AudioTapered(0.5).Value(), 0.095, 1e-10);
    EXPECT_NEAR(AudioTapered(1.0).Value(), 1.0, 1e-12);
}

TEST(TaperedControl, AudioTaperClampsButKeepsTheRawTarget) {
    const TaperedControl high = AudioTapered(1.7);
    EXPECT_EQ(high.Value(), AudioTapered(1.0).Value());
    EXPECT_EQ(high.Target(), 1.7);
    EXPECT_EQ(AudioTapered(-0.3).Value(), 0.0);
}

TEST(TaperedControl, WithoutTaperTheValueIsTheInput) {
    TaperedControl control;
    control.Set(1.7);
    EXPECT_EQ(control.Value(), 1.7);
}

TEST(TaperedControl, FlagsOnlyMovesAboveOneBillionth) {
    TaperedControl control;
    control.Set(0.25);
    control.ClearChanged();
    control.Set(0.25 + 5e-10);
    EXPECT_FALSE(control.Changed());
    EXPECT_EQ(control.Value(), 0.25 + 5e-10);  // the value itself still follows
    control.Set(0.25 + 5e-9);
    EXPECT_TRUE(control.Changed());
    control.Set(0.25);  // moving back does not clear it
    EXPECT_TRUE(control.Changed());
}

}  // namespace
