#include "editor/panel_menu.h"

#include "editor/font_cache.h"
#include "editor/popup_menu.h"
#include "plugin/text_copy.h"
#include "raster/blit.h"
#include "raster/fill.h"
#include "raster/raster_font.h"

namespace {

constexpr uint32_t kPaper = 0xFFF2ECDCu;
constexpr uint32_t kInk = 0xFF1E1A18u;
constexpr uint32_t kHighlight = 0xFF5C1410u;
constexpr int kTextLeft = 18;  // past the check mark
constexpr int kMarkSize = 6;

}  // namespace

void PanelMenu::Open(const PopupMenu& menu, int x, int y, int width, int height) {
    count_ = 0;
    for (int i = 0; i < menu.items.Count() && count_ < kMaxItems; ++i) {
        const PopupMenuItem& item = *menu.items.Get(i);
        if ((item.flags & ItemSeparator) != 0 || item.submenu != nullptr) continue;
        CopyText(texts_[count_], kTextBytes, item.text.Get());
        checked_[count_] = (item.flags & ItemChecked) != 0;
        ++count_;
    }
    const int menuHeight = count_ * kItemHeight + 2;
    const int left = x + kWidth <= width ? x : (width - kWidth > 0 ? width - kWidth : 0);
    const int top =
        y + menuHeight <= height ? y : (height - menuHeight > 0 ? height - menuHeight : 0);
    area_ = {left, top, left + kWidth, top + menuHeight};
    highlighted_ = -1;
    open_ = count_ > 0;
}

int PanelMenu::ItemAt(int x, int y) const {
    if (!open_ || x < area_.left || x >= area_.right || y < area_.top + 1) return -1;
    const int item = (y - area_.top - 1) / kItemHeight;
    return item < count_ ? item : -1;
}

void PanelMenu::MoveHighlight(int step) {
    if (count_ == 0) return;
    if (highlighted_ < 0) {
        highlighted_ = step > 0 ? 0 : count_ - 1;
    } else {
        highlighted_ = (highlighted_ + step % count_ + count_) % count_;
    }
}

void PanelMenu::Draw(RasterBitmap* target, const PanelScale& scale) const {
    if (!open_ || target == nullptr) return;
    const Rect box = scale.PlaceRect(area_);
    const int border = scale.Pixels(1) > 0 ? scale.Pixels(1) : 1;
    FillRectangle(target, box.left, box.top, box.right - box.left, box.bottom - box.top, kInk, 1.0f,
                  BlendCopy);
    FillRectangle(target, box.left + border, box.top + border, box.right - box.left - 2 * border,
                  box.bottom - box.top - 2 * border, kPaper, 1.0f, BlendCopy);
    TextStyle style;
    style.size = scale.Pixels(12);
    LockGuard fonts(FontCache::Process().Lock());
    RasterFont* font = FontCache::Process().Find(style);
    for (int i = 0; i < count_; ++i) {
        const Rect row = scale.PlaceRect({area_.left + 1, area_.top + 1 + i * kItemHeight,
                                          area_.right - 1, area_.top + 1 + (i + 1) * kItemHeight});
        const bool lit = i == highlighted_;
        if (lit) {
            FillRectangle(target, row.left, row.top, row.right - row.left, row.bottom - row.top,
                          kHighlight, 1.0f, BlendCopy);
        }
        const uint32_t ink = lit ? kPaper : kInk;
        if (checked_[i]) {
            const Rect mark = scale.PlaceRect({area_.left + 6, area_.top + 1 + i * kItemHeight + 5,
                                               area_.left + 6 + kMarkSize,
                                               area_.top + 1 + i * kItemHeight + 5 + kMarkSize});
            FillRectangle(target, mark.left, mark.top, mark.right - mark.left,
                          mark.bottom - mark.top, ink, 1.0f, BlendCopy);
        }
        if (font == nullptr) continue;
        font->SetForeColor(ink);
        const int textTop = row.top + (row.bottom - row.top - font->LineHeight()) / 2;
        Rect at{row.left + scale.Pixels(kTextLeft), textTop, row.right, row.bottom};
        font->DrawString(target, texts_[i], -1, at, FormatSingleLine);
    }
}
