// PanelEntryBox: a one-line text box drawn inside the panel with the raster layer, for editors
// whose window has no native edit control (the headless and X11 editors). It holds the text and
// its selection (everything selected when it opens), takes typed characters up to a limit, and
// draws itself in a TextStyle's entry colours. Window thread only.
#pragma once

#include "editor/editor_types.h"

class PanelEntryBox {
public:
    static constexpr int kCapacity = 255;  // characters, whatever a control's limit says

    // Opens at the rectangle with the text all selected; at most maxChars may be typed.
    void Open(const Rect& area, const char* text, int maxChars);
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }
    const Rect& Area() const { return area_; }
    const char* Text() const { return text_; }
    int SelectionStart() const { return selectionStart_; }
    int SelectionEnd() const { return selectionEnd_; }

    // The character replaces the selection; false (nothing changes) when the text would grow
    // past the limit.
    bool Type(char c);
    // Deletes the selection, or the character before the caret.
    bool Backspace();

    // Background, text and selection in the style's entry colours, the caret when nothing is
    // selected. Nothing is drawn when the style has no font.
    void Draw(RasterBitmap* target, TextStyle& style) const;

private:
    Rect area_{};
    char text_[kCapacity + 1] = "";
    int length_ = 0;
    int maxChars_ = 0;
    int selectionStart_ = 0;
    int selectionEnd_ = 0;
    bool open_ = false;
};
