// PanelMenu: a popup menu drawn inside the panel, for editors whose window has no native one
// (the headless and X11 editors), as their value box is. A column of items below and to the
// right of a point, kept inside the panel; one item may be highlighted (the pointer's or the
// arrow keys' choice) and checked items carry a mark. Separators and submenus are not drawn.
// Positions are panel units; drawing goes through the editor's scale. Window thread only.
#pragma once

#include "editor/editor_types.h"
#include "editor/panel_scale.h"

struct PopupMenu;

class PanelMenu {
public:
    static constexpr int kMaxItems = 8;
    static constexpr int kItemHeight = 16;
    static constexpr int kWidth = 128;

    // Opens with the menu's first kMaxItems plain items at (x, y), inside width x height.
    void Open(const PopupMenu& menu, int x, int y, int width, int height);
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }
    const Rect& Area() const { return area_; }
    int Count() const { return count_; }
    // The item under the point, or -1.
    int ItemAt(int x, int y) const;
    int Highlighted() const { return highlighted_; }
    // Up (step -1) or down the items, wrapping round; from none to the first or last.
    void MoveHighlight(int step);
    bool IsChecked(int item) const { return item >= 0 && item < count_ && checked_[item]; }

    void Draw(RasterBitmap* target, const PanelScale& scale) const;

private:
    static constexpr int kTextBytes = 32;

    char texts_[kMaxItems][kTextBytes] = {};
    bool checked_[kMaxItems] = {};
    int count_ = 0;
    int highlighted_ = -1;
    Rect area_{};
    bool open_ = false;
};
