#include "editor/panel_entry_box.h"

#include <cstring>

#include "editor/font_cache.h"
#include "raster/blit.h"
#include "raster/fill.h"
#include "raster/raster_font.h"

namespace {

constexpr int kMargin = 2;  // pixels between the box's edge and text that does not fit

// Width in pixels of `length` bytes of text.
int TextWidth(RasterFont& font, const char* text, int length) {
    if (length <= 0) return 0;
    Rect r{};
    font.DrawString(nullptr, text, length, r, FormatCalcRect | FormatSingleLine | FormatNoClip);
    return r.right;
}

void DrawRun(RasterBitmap* target, RasterFont& font, const char* text, int length, int x, int y,
             const Rect& clip, uint32_t color) {
    if (length <= 0) return;
    font.SetForeColor(color);
    Rect r{x, y, clip.right, clip.bottom};
    const int alpha = static_cast<int>(color >> 24);
    font.DrawString(target, text, length, r,
                    FormatSingleLine | (alpha < 255 ? FormatUseForeAlpha : 0));
}

}  // namespace

void PanelEntryBox::Open(const Rect& area, const char* text, int maxChars) {
    area_ = area;
    maxChars_ = maxChars < 0 ? 0 : (maxChars > kCapacity ? kCapacity : maxChars);
    length_ = 0;
    // The opening text may be longer than what can be typed, as a native box allows.
    while (text != nullptr && text[length_] != '\0' && length_ < kCapacity) {
        text_[length_] = text[length_];
        ++length_;
    }
    text_[length_] = '\0';
    selectionStart_ = 0;
    selectionEnd_ = length_;
    open_ = true;
}

bool PanelEntryBox::Type(char c) {
    const int selected = selectionEnd_ - selectionStart_;
    if (length_ - selected + 1 > maxChars_) return false;
    std::memmove(text_ + selectionStart_ + 1, text_ + selectionEnd_,
                 static_cast<size_t>(length_ - selectionEnd_ + 1));
    text_[selectionStart_] = c;
    length_ = length_ - selected + 1;
    selectionEnd_ = ++selectionStart_;
    return true;
}

bool PanelEntryBox::Backspace() {
    if (selectionStart_ == selectionEnd_) {
        if (selectionStart_ == 0) return false;
        --selectionStart_;
    }
    std::memmove(text_ + selectionStart_, text_ + selectionEnd_,
                 static_cast<size_t>(length_ - selectionEnd_ + 1));
    length_ -= selectionEnd_ - selectionStart_;
    selectionEnd_ = selectionStart_;
    return true;
}

void PanelEntryBox::Draw(RasterBitmap* target, TextStyle& style) const {
    if (!open_ || target == nullptr) return;
    const int width = area_.right - area_.left;
    const int height = area_.bottom - area_.top;
    FillRectangle(target, area_.left, area_.top, width, height, style.entryBackground.Packed(),
                  1.0f, BlendCopy);
    LockGuard fonts(FontCache::Process().Lock());
    if (style.font == nullptr) style.font = FontCache::Process().Find(style);
    if (style.font == nullptr) return;
    RasterFont& font = *style.font;

    const int textWidth = TextWidth(font, text_, length_);
    int x = area_.left + kMargin;
    if (textWidth <= width - 2 * kMargin) {
        if (style.alignment == AlignCentre) x = area_.left + (width - textWidth) / 2;
        if (style.alignment == AlignFar) x = area_.right - kMargin - textWidth;
    }
    const int y = area_.top + (height - font.LineHeight()) / 2;
    const int before = TextWidth(font, text_, selectionStart_);
    const int selected = TextWidth(font, text_ + selectionStart_, selectionEnd_ - selectionStart_);
    const uint32_t ink = style.entryText.Packed();
    const uint32_t paper = style.entryBackground.Packed();
    const Rect clip{area_.left, area_.top, area_.right, area_.bottom};

    DrawRun(target, font, text_, selectionStart_, x, y, clip, ink);
    if (selected > 0 && x + before < area_.right) {
        const int right = x + before + selected < area_.right ? x + before + selected : area_.right;
        FillRectangle(target, x + before, area_.top + 1, right - x - before, height - 2, ink, 1.0f,
                      BlendCopy);
        DrawRun(target, font, text_ + selectionStart_, selectionEnd_ - selectionStart_, x + before,
                y, clip, paper);
    } else if (selected == 0 && x + before < area_.right) {
        FillRectangle(target, x + before, area_.top + 2, 1, height - 4, ink, 1.0f, BlendCopy);
    }
    DrawRun(target, font, text_ + selectionEnd_, length_ - selectionEnd_, x + before + selected, y,
            clip, ink);
}
