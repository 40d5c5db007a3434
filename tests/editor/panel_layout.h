// Where the effect's panel has its controls, for every test that points at them.
#pragma once

// Centres of the panel's controls, in panel pixels.
struct Point {
    int x, y;
};
constexpr Point kDriveKnob{65, 111};
constexpr Point kFilterKnob{149, 111};
constexpr Point kVolumeKnob{233, 111};
constexpr Point kStereoSwitch{79, 293};
constexpr Point kQualitySwitch{227, 293};
constexpr Point kFootswitch{147, 255};
constexpr Point kStatusLight{147, 220};
constexpr Point kBackground{150, 200};

// Control indices in drawing order.
enum PanelControl {
    kBackgroundControl,
    kDrive,
    kFilter,
    kVolume,
    kStereo,
    kQuality,
    kPedal,
    kInputStrip,
    kLight
};

// The image strip a control draws from: its resource id and its number of frames.
struct StripImage {
    int resource;
    int frames;
};

constexpr StripImage ImageOf(int index) {
    switch (index) {
        case kBackgroundControl: return {100, 1};
        case kDrive:
        case kFilter:
        case kVolume: return {101, 81};
        case kStereo:
        case kQuality: return {105, 2};
        case kPedal: return {103, 2};
        case kLight: return {107, 2};
        default: return {106, 101};
    }
}
