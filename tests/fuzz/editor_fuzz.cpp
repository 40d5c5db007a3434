// The panel as a user (and a host) plays it: the bytes are read as mouse presses, releases,
// drags, double clicks and wheel turns with any buttons, modifiers and coordinates, the mouse
// taken away mid-gesture, keys, text typed into the entry box and its focus and commit, redraw
// ticks, and in between parameter changes and chunks from the host. After every event the
// parameters and controls are in range and the host hears only normalised values and balanced
// edits; once the user lets go, no parameter is left in an edit, the panel comes to rest, every
// control agrees with its parameter, and redrawing the whole panel changes no pixel.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/control.h"
#include "raster/raster_bitmap.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_effect.h"

using namespace vst2;

namespace {

// Where the controls are, so that gestures find them often.
constexpr int kSpots[][2] = {{65, 111},  {149, 111}, {233, 111}, {79, 293},
                             {227, 293}, {147, 255}, {60, 331},  {150, 200}};

struct Point {
    int x, y;
};

Point ChoosePoint(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const auto& spot = kSpots[in.ConsumeIntegralInRange<size_t>(0, 7)];
            return {spot[0] + in.ConsumeIntegralInRange(-8, 8),
                    spot[1] + in.ConsumeIntegralInRange(-8, 8)};
        }
        case 1:
            // What a window reports: 16-bit coordinates, far outside the panel while dragging.
            return {in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>()};
        default: return {in.ConsumeIntegralInRange(-20, 320), in.ConsumeIntegralInRange(-20, 370)};
    }
}

HeldKeys ChooseKeys(FuzzedDataProvider& in) {
    const int bits = in.ConsumeIntegralInRange(0, 7);
    HeldKeys keys;
    keys.shift = (bits & 1) != 0;
    keys.ctrl = (bits & 2) != 0;
    keys.alt = (bits & 4) != 0;
    return keys;
}

// A press, release, move or double click: where, with which button and which keys held.
struct MouseEvent {
    Point at;
    MouseButton button;
    HeldKeys keys;
};

MouseEvent ReadMouseEvent(FuzzedDataProvider& in, const char* what) {
    MouseEvent e{ChoosePoint(in), static_cast<MouseButton>(in.ConsumeIntegralInRange(0, 2)),
                 ChooseKeys(in)};
    FuzzTrace("%s %d,%d button %d keys %d%d%d", what, e.at.x, e.at.y, static_cast<int>(e.button),
              e.keys.shift, e.keys.ctrl, e.keys.alt);
    return e;
}

void CheckControlsInRange(const HeadlessEditor& editor) {
    for (int i = 0; i < editor.ControlCount(); ++i) {
        const double value = editor.ControlAt(i)->Value();
        FUZZ_CHECK(value >= 0.0 && value <= 1.0);
    }
}

// Ticks until a tick presents nothing; false when the panel keeps redrawing.
bool Settle(HeadlessEditor& editor) {
    for (int i = 0; i < 8; ++i) {
        const int before = editor.PresentCount();
        editor.Tick();
        if (editor.PresentCount() == before) return true;
    }
    return false;
}

void CheckAtRest(FuzzEffect& fx) {
    HeadlessEditor& editor = fx.Editor();
    fx.EndGestures();
    FUZZ_CHECK(Settle(editor));
    fx.CheckNoEditOpen();
    for (int i = 0; i < editor.ControlCount(); ++i) {
        const Control& control = *editor.ControlAt(i);
        const int index = control.ParamIdx();
        if (index < 0) continue;
        const double normalized = fx.Fx().Param(index)->NormalizedValue();
        if (index < ORV_Q12::kStereo) {
            FUZZ_CHECK(std::fabs(control.Value() - normalized) <= 1e-9);
        } else {
            // A switch shows its upper frame from 0.5 on; the parameter snaps at the same point.
            FUZZ_CHECK((control.Value() >= 0.5) == (normalized == 1.0));
        }
    }
    // What the ticks left on the panel is what drawing it whole gives.
    const RasterBitmap& frame = *editor.FrameBuffer();
    const std::size_t pixels = static_cast<std::size_t>(frame.Height()) * frame.RowSpan();
    static std::vector<std::uint32_t> settled;
    settled.assign(frame.Bits(), frame.Bits() + pixels);
    editor.MarkAllChanged();
    FUZZ_CHECK(Settle(editor));
    FUZZ_CHECK(std::memcmp(settled.data(), frame.Bits(), pixels * sizeof(std::uint32_t)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzEffect fx;
    fx.EndGestures();
    fx.ResetParameters();
    Settle(fx.Editor());
    fx.Editor().ClearPresented();
    HeadlessEditor& editor = fx.Editor();
    FuzzedDataProvider in(data, size);
    std::vector<std::uint8_t> saved;
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 14)) {
            case 0: {
                const MouseEvent e = ReadMouseEvent(in, "press");
                editor.Press(e.at.x, e.at.y, e.button, e.keys);
                break;
            }
            case 1: {
                const MouseEvent e = ReadMouseEvent(in, "release");
                editor.Release(e.at.x, e.at.y, e.button, e.keys);
                break;
            }
            case 2: {
                const MouseEvent e = ReadMouseEvent(in, "move");
                editor.Move(e.at.x, e.at.y, e.button, e.keys);
                break;
            }
            case 3: {
                const MouseEvent e = ReadMouseEvent(in, "double click");
                editor.DoubleClick(e.at.x, e.at.y, e.keys);
                break;
            }
            case 4: {
                const Point p = ChoosePoint(in);
                const int detents = in.ConsumeBool() ? in.ConsumeIntegralInRange(-3, 3)
                                                     : in.ConsumeIntegral<std::int16_t>();
                const HeldKeys keys = ChooseKeys(in);
                FuzzTrace("wheel %d,%d by %d", p.x, p.y, detents);
                editor.Wheel(p.x, p.y, detents, keys);
                break;
            }
            case 5: {
                const int key = in.ConsumeIntegralInRange(0, 255);
                FuzzTrace("key %d", key);
                editor.PressKey(key);
                break;
            }
            case 6: {
                const std::string text = in.ConsumeRandomLengthString(40);
                FuzzTrace("type \"%s\"", text.c_str());
                editor.TypeText(text.c_str());
                break;
            }
            case 7:
                FuzzTrace("ticks");
                for (int n = in.ConsumeIntegralInRange(1, 4); n > 0; --n) editor.Tick();
                break;
            case 8: {
                const int index = in.ConsumeIntegralInRange<int>(-1, ORV_Q12::kParamCount);
                const float value = AnyFloat(in);
                FuzzTrace("setParameter(%d, %g)", index, double(value));
                fx.SetParameter(index, value);
                break;
            }
            case 9: {
                std::string text = in.ConsumeRandomLengthString(24);
                fx.Dispatch(effString2Parameter, in.ConsumeIntegralInRange(0, 6), 0, text.data());
                break;
            }
            case 10: {
                const bool gained = in.ConsumeBool();
                FuzzTrace("entry focus %s", gained ? "gained" : "lost");
                editor.EntryFocusChanged(gained);
                break;
            }
            case 11:
                FuzzTrace("entry commit");
                editor.CommitEntryBox();
                break;
            case 12: {
                const int kind = in.ConsumeIntegralInRange(0, 1);
                if (saved.empty() || in.ConsumeBool()) {
                    void* chunk = nullptr;
                    const intptr bytes = fx.Dispatch(effGetChunk, kind, 0, &chunk);
                    FUZZ_CHECK(bytes > 0);
                    saved.assign(static_cast<std::uint8_t*>(chunk),
                                 static_cast<std::uint8_t*>(chunk) + bytes);
                } else {
                    std::vector<std::uint8_t> copy = saved;
                    fx.Dispatch(effSetChunk, kind, static_cast<intptr>(copy.size()), copy.data());
                }
                break;
            }
            case 13:
                FuzzTrace("mouse lost");
                editor.LoseMouse();
                break;
            default: fx.CheckParameters(); break;
        }
        CheckControlsInRange(editor);
    }
    fx.CheckParameters();
    CheckAtRest(fx);
    return 0;
}
