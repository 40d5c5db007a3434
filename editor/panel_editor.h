// PanelEditor: an Editor whose text entry box is drawn inside the panel (PanelEntryBox) instead
// of being a native edit control. The headless and X11 editors derive from it; their
// PresentRect lays the open box over the frame buffer (OverlayEntryBox) before presenting, and
// their keyboard and focus events reach the box through the Entry* calls. Window thread only.
#pragma once

#include "editor/editor.h"
#include "editor/panel_entry_box.h"

class PanelEditor : public Editor {
public:
    using Editor::Editor;

    void OpenEntryBox(Control* control, const TextStyle& style, const Rect& r, const char* text,
                      PluginParam* param) override;
    bool EntryBoxOpen() const override { return box_.IsOpen(); }
    void ReadEntryText(char* text, int capacity) override;
    void DestroyEntryBox() override;

    // The box's keyboard, as its back-end translates it. A printable character is typed when
    // the parameter takes it; Enter commits, Escape cancels, Backspace deletes.
    void EntryCharacter(char c);
    void EntryKeyDown(int virtualKey);

    const PanelEntryBox& EntryBox() const { return box_; }

protected:
    // Draws the open box over the frame buffer when it meets r (pixels); returns the rectangle
    // to present, r widened by the box.
    Rect OverlayEntryBox(const Rect& r);

private:
    PanelEntryBox box_;  // in the frame buffer's pixels
    Rect boxPanelArea_{};
    TextStyle boxStyle_;
};
