#include "editor/panel_editor.h"

#include "editor/entry_filter.h"
#include "plugin/text_copy.h"

namespace {
constexpr int kVirtualKeyBackspace = 8;
constexpr int kVirtualKeyEnter = 13;
constexpr int kVirtualKeyEscape = 27;
}  // namespace

void PanelEditor::OpenEntryBox(Control* control, const TextStyle& style, const Rect& r,
                               const char* text, PluginParam* param) {
    if (control == nullptr || box_.IsOpen()) return;
    // One pixel wider and higher than the rectangle asked for, as a native box is made.
    boxPanelArea_ = {r.left, r.top, r.right + 1, r.bottom + 1};
    box_.Open(Scale().PlaceRect(boxPanelArea_), text, control->EntryMaxChars());
    boxStyle_ = style;
    if (!Scale().IsUnit()) {
        boxStyle_.size = Scale().Pixels(style.size);
        // The control's font is the panel-unit one.
        boxStyle_.font = nullptr;
    }
    entryParam = param;
    entryControl = control;
    PresentRect(box_.Area());
}

void PanelEditor::ReadEntryText(char* text, int capacity) {
    if (text != nullptr && capacity > 0) CopyText(text, static_cast<size_t>(capacity), box_.Text());
}

void PanelEditor::DestroyEntryBox() {
    if (!box_.IsOpen()) return;
    box_.Close();
    // What the box covered shows again.
    Draw(boxPanelArea_);
}

void PanelEditor::EntryCharacter(char c) {
    if (!box_.IsOpen() || static_cast<unsigned char>(c) < 32) return;
    if (!EntryTakesCharacter(entryParam, c)) return;
    if (box_.Type(c)) PresentRect(box_.Area());
}

void PanelEditor::EntryKeyDown(int virtualKey) {
    if (!box_.IsOpen()) return;
    switch (virtualKey) {
        case kVirtualKeyEnter: CommitEntryBox(); break;
        case kVirtualKeyEscape: CancelEntryBox(); break;
        case kVirtualKeyBackspace:
            if (box_.Backspace()) PresentRect(box_.Area());
            break;
        default: break;
    }
}

Rect PanelEditor::OverlayEntryBox(const Rect& r) {
    const Rect& area = box_.Area();
    if (!box_.IsOpen() || IsEmptyRect(r)) return r;
    if (area.left >= r.right || area.right <= r.left || area.top >= r.bottom ||
        area.bottom <= r.top) {
        return r;
    }
    box_.Draw(drawBitmap.get(), boxStyle_);
    return UnionRect(r, area);
}
