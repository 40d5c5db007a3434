// The effect's panel, 300 x 350 pixels: the background, the Drive, Filter and Volume knobs, the
// Stereo and Quality switches, the footswitch, the Input strip and the status light above the
// footswitch, added in drawing order.
#include <memory>

#include "editor/bitmap_control.h"
#include "editor/editor.h"
#include "editor/fader_strip_control.h"
#include "editor/knob_control.h"
#include "effect/orv_q12.h"
#include "plugin/make_nothrow.h"
#include "plugin/module_handle.h"

namespace {

// The six images; the names only say by their extension that they are PNG resources.
struct PanelImage {
    int id;
    const char* name;
    int frames;
    int width, height;  // the artwork's size, used as it is when an image cannot be loaded
};

constexpr PanelImage kBackground{100, "./resources/img/100.png", 1, 300, 350};
constexpr PanelImage kKnob{101, "./resources/img/101.png", 81, 95, 7695};
constexpr PanelImage kFootswitch{103, "./resources/img/103.png", 2, 45, 90};
constexpr PanelImage kSwitch{105, "./resources/img/105.png", 2, 32, 64};
constexpr PanelImage kInputStrip{106, "./resources/img/106.png", 101, 184, 808};
// Frame 1 lit ("Bypass" 0: the circuit runs), frame 2 dark.
constexpr PanelImage kLight{107, "./resources/img/107.png", 2, 17, 34};

constexpr int kKnobX[] = {18, 102, 186};
constexpr int kKnobY = 64;
constexpr double kKnobGearing = 3.0;
constexpr int kSwitchX[] = {63, 211};
constexpr int kSwitchY = 277;
constexpr int kFootswitchX = 125;
constexpr int kFootswitchY = 233;
constexpr int kLightX = 139;
constexpr int kLightY = 212;
constexpr ControlBlend kByAlpha{0, 1.0f};

BitmapStrip FetchStrip(Editor& editor, const PanelImage& image) {
    BitmapStrip strip;
    strip.bitmap = editor.FetchImage(image.id, image.name);
    strip.width = strip.bitmap != nullptr ? strip.bitmap->Width() : image.width;
    strip.height = strip.bitmap != nullptr ? strip.bitmap->Height() : image.height;
    strip.frames = image.frames;
    return strip;
}

// One frame of the strip, with its top left at (x, y).
Rect FrameAt(int x, int y, const BitmapStrip& strip) {
    return {x, y, x + strip.width, y + strip.height / strip.frames};
}

}  // namespace

bool ORV_Q12::BuildEditor(std::unique_ptr<Editor> editor) {
    if (editor == nullptr) return false;
    editor->SetModuleInstance(ThisModule());
    editor->AddBackground(kBackground.id, kBackground.name);

    const BitmapStrip knob = FetchStrip(*editor, kKnob);
    const int knobParams[] = {kDrive, kFilter, kVolume};
    for (int i = 0; i < 3; ++i) {
        editor->AddControl(MakeNothrow<KnobStripControl>(this, FrameAt(kKnobX[i], kKnobY, knob),
                                                         knobParams[i], DirectionVertical,
                                                         kKnobGearing, knob, kByAlpha));
    }

    const BitmapStrip toggle = FetchStrip(*editor, kSwitch);
    const int switchParams[] = {kStereo, kQuality};
    for (int i = 0; i < 2; ++i) {
        editor->AddControl(MakeNothrow<SwitchControl>(this, FrameAt(kSwitchX[i], kSwitchY, toggle),
                                                      switchParams[i], toggle, kByAlpha));
    }

    const BitmapStrip contact = FetchStrip(*editor, kFootswitch);
    editor->AddControl(MakeNothrow<FootswitchControl>(
        this, FrameAt(kFootswitchX, kFootswitchY, contact), kBypass, contact, kByAlpha));

    editor->AddControl(MakeNothrow<FaderStripControl>(this, FetchStrip(*editor, kInputStrip)));

    const BitmapStrip light = FetchStrip(*editor, kLight);
    editor->AddControl(MakeNothrow<IndicatorControl>(this, FrameAt(kLightX, kLightY, light),
                                                     kBypass, light, kByAlpha));

    // Each step above leaves the editor incomplete when memory is short; only a whole panel is
    // attached, and attaching makes the frame buffer.
    if (!editor->IsComplete()) return false;
    AttachEditor(editor.release());
    return AttachedEditor()->IsComplete();
}
