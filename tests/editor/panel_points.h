// Where the panel's controls are, in panel pixels: what the editor tests press, drag and turn.
#pragma once

struct Point {
    int x, y;
};

// Centres of the controls.
constexpr Point kDriveKnob{65, 111};
constexpr Point kFilterKnob{149, 111};
constexpr Point kVolumeKnob{233, 111};
constexpr Point kStereoSwitch{79, 293};
constexpr Point kQualitySwitch{227, 293};
constexpr Point kFootswitch{147, 255};
constexpr Point kBackground{150, 200};
