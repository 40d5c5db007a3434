// The small records the editor and its controls share: colours, text styles, image strips,
// compositing choices, mouse modifiers, key codes and the rectangle helpers. Plain values,
// copied freely; none of them owns what it points to.
#pragma once

#include <cstdint>

#include "raster/rect.h"

class RasterFont;
class RasterBitmap;

struct Color {
    int32_t alpha = 255;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;

    // As a pixel word: 0xAARRGGBB.
    uint32_t Packed() const {
        return uint32_t(alpha & 0xFF) << 24 | uint32_t(red & 0xFF) << 16 |
               uint32_t(green & 0xFF) << 8 | uint32_t(blue & 0xFF);
    }
};

enum TextAlignment : int32_t { AlignNear = 0, AlignCentre = 1, AlignFar = 2 };
enum TextStyleKind : int32_t { StyleNormal = 0, StyleBold = 1, StyleItalic = 2 };

struct TextStyle {
    char face[32] = "Verdana";
    int32_t size = 12;
    Color color;  // opaque black
    Color entryBackground{255, 255, 255, 255};
    Color entryText;  // opaque black
    int32_t style = StyleNormal;
    int32_t alignment = AlignCentre;
    int32_t orientation = 0;     // degrees
    int32_t quality = 0;         // FontQuality (raster/font_handle.h)
    RasterFont* font = nullptr;  // filled from the font cache, not owned
};

// An image of N frames, stacked from top to bottom or lying side by side. The bitmap belongs to
// the image cache and may be null (an image that could not be loaded): then nothing is drawn,
// while width and height still give the image's nominal size.
struct BitmapStrip {
    RasterBitmap* bitmap = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 1;
    bool sideBySide = false;
};

// How a control's image is composited: method 0 by its alpha, 1 opaque copy, 2 add, 3 dodge
// (anything else acts as 0), scaled by weight.
struct ControlBlend {
    int32_t method = 0;
    float weight = 1.0f;
};

// Buttons held and modifier keys down at a mouse event.
struct MouseMod {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

enum class MouseButton { Left, Right, Middle };

// The keys a control can take: space, the arrows, digits and letters.
enum KeyCode : int32_t {
    KeySpace = 0,
    KeyUp = 1,
    KeyDown = 2,
    KeyLeft = 3,
    KeyRight = 4,
    KeyDigit0 = 5,    // ... KeyDigit0 + 9
    KeyLetterA = 15,  // ... KeyLetterA + 25
    KeyNone = -1,
};

// The KeyCode of a Windows virtual-key number (the back-ends translate their own key events
// to these numbers), or KeyNone for a key no control can take.
KeyCode KeyCodeFromVirtualKey(int virtualKey);

// What the redraw timer does next about an open text entry box.
enum class TextEntryState : int32_t { Idle = 0, Focused = 1, Redrawn = 2, Cancel = 3, Commit = 4 };

// A rectangle whose four values are all 0 is empty and meets nothing; width and height are not
// looked at.
inline bool IsEmptyRect(const Rect& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

// The smallest rectangle holding both.
inline Rect UnionRect(const Rect& a, const Rect& b) {
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}
