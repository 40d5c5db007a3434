#include "editor/editor.h"

#include <cmath>
#include <cstdio>

#include "editor/bitmap_cache.h"
#include "editor/bitmap_control.h"
#include "editor/font_cache.h"
#include "plugin/make_nothrow.h"
#include "plugin/plugin_base.h"
#include "plugin/text_buffer.h"
#include "raster/blit.h"
#include "raster/png_loader.h"
#include "raster/raster_font.h"

namespace {

// The name's extension (after its last dot) is "png" in any case.
bool NamesPng(const char* name) {
    if (name == nullptr) return false;
    const char* dot = nullptr;
    for (const char* at = name; *at != '\0'; ++at) {
        if (*at == '.') dot = at;
    }
    if (dot == nullptr) return false;
    const char* ext = dot + 1;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(ext[0]) == 'p' && lower(ext[1]) == 'n' && lower(ext[2]) == 'g' && ext[3] == '\0';
}

int BlitMode(const ControlBlend* blend) {
    if (blend == nullptr) return BlendCopy | BlendUseSourceAlpha;
    switch (blend->method) {
        case 1: return BlendCopy;
        case 2: return BlendAdd | BlendUseSourceAlpha;
        case 3: return BlendDodge | BlendUseSourceAlpha;
        default: return BlendCopy | BlendUseSourceAlpha;
    }
}

// Whether two non-empty rectangles meet; an edge lying on the other's right or bottom edge
// counts as meeting.
bool Touches(const Rect& a, const Rect& b) {
    return a.right >= b.left && a.left < b.right && a.bottom >= b.top && a.top < b.bottom;
}

}  // namespace

Editor::Editor(PluginBase* plugIn) : plug(plugIn) {}

Editor::~Editor() {
    fallbackKeyControl.reset();
    DeleteControls();
    drawBitmap.reset();
}

void Editor::DeleteControls() { controls.DeleteAll(); }

Control* Editor::ControlAt(int index) const { return controls.Get(index); }

// --- Slots with a portable body ----------------------------------------------------------------

bool Editor::MeasureText(TextStyle& style, const char* text, Rect& r) {
    if (text == nullptr || text[0] == '\0') return true;
    LockGuard fonts(FontCache::Process().Lock());
    RasterFont* font = style.font != nullptr ? style.font : FontCache::Process().Find(style);
    if (font == nullptr) return false;
    style.font = font;
    font->SetForeColor(style.color.Packed());
    int format = FormatNoClip | FormatCalcRect;
    if (style.color.alpha < 255) format |= FormatUseForeAlpha;
    if (style.alignment == AlignCentre) format |= FormatCenter;
    if (style.alignment == AlignFar) format |= FormatRight;
    Rect measured{};
    font->DrawString(drawBitmap.get(), text, -1, measured, format);
    const int w = measured.right;
    const int h = measured.bottom;
    switch (style.alignment) {
        case AlignCentre:
            r.left = static_cast<int32_t>(std::floor((r.left + r.right) / 2.0)) - w / 2;
            r.right = r.left + w;
            break;
        case AlignFar: r.left = r.right - w; break;
        default: r.right = r.left + w; break;
    }
    r.bottom = r.top + h;
    return true;
}

void Editor::CancelEntryBox() { entryState = TextEntryState::Cancel; }

void Editor::Resize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    // The pressed control is about to go.
    CancelGesture();
    // The box belongs to a control that is about to go.
    if (EntryBoxOpen()) FinishEntry(false);
    {
        // The host's thread walks the list inside the plug-in lock.
        LockGuard guard(plug->Lock());
        DeleteControls();
    }
    drawBitmap.reset();
    CreateDrawSurfaces();
    plug->ResizeEditor(newWidth, newHeight);
}

bool Editor::HasEditorWindow() { return EditorWindowHandle() != nullptr; }

const char* Editor::EmptyText() { return ""; }

int Editor::ShowMessage(const char*, const char*, int) { return 0; }

PopupMenu* Editor::CreatePopupMenu(PopupMenu&, const Rect&) { return nullptr; }

void Editor::HostFolder(TextBuffer& folder) { folder.Set(""); }

void Editor::ModuleFolder(TextBuffer& folder) { folder.Set(""); }

void Editor::DesktopFolder(TextBuffer& folder) { folder.Set(""); }

void Editor::AppDataFolder(TextBuffer& folder) { folder.Set(""); }

void Editor::ChooseFile(TextBuffer& file, int, TextBuffer&, const char*, bool) { file.Set(""); }

bool Editor::PickColor(Color&, const char*) { return false; }

bool Editor::OpenWebAddress(const char*, const char*, const char*, const char*) { return false; }

int Editor::ReservedQuery() { return 0; }

void Editor::ReservedHookA() {}

void Editor::ReservedHookB() {}

void Editor::HidePointer() {}

void Editor::ShowPointer() {}

void Editor::ReservedHookC() {}

std::unique_ptr<RasterBitmap> Editor::LoadPlatformBitmap(int id, const char* name) {
    if (!NamesPng(name)) return nullptr;
    bool shortOfMemory = false;
    std::unique_ptr<RasterBitmap> image = LoadPngResource(instance, id, &shortOfMemory);
    if (shortOfMemory) MarkIncomplete();
    return image;
}

void Editor::RedrawRect(const Rect& r) { Draw(r); }

void Editor::ReadEntryText(char* text, int capacity) {
    if (text != nullptr && capacity > 0) text[0] = '\0';
}

// --- Building the panel ------------------------------------------------------------------------

void Editor::AddBackground(int resourceId, const char* name) {
    RasterBitmap* image = FetchImage(resourceId, name);
    BitmapStrip strip;
    strip.bitmap = image;
    // Without its image the background still spans the panel; it then draws nothing.
    strip.width = image != nullptr ? image->Width() : width;
    strip.height = image != nullptr ? image->Height() : height;
    const Rect r{0, 0, strip.width, strip.height};
    auto background = MakeNothrow<BitmapControl>(plug, r, -1, strip, ControlBlend{1, 1.0f});
    if (background == nullptr || !controls.Insert(0, background.get())) {
        MarkIncomplete();
        return;
    }
    background.release();
}

int Editor::AddControl(std::unique_ptr<Control> control) {
    if (control == nullptr || !controls.Append(control.get())) {
        MarkIncomplete();
        return -1;
    }
    control.release();
    return ControlCount() - 1;
}

RasterBitmap* Editor::FetchImage(int resourceId, const char* name) {
    RasterBitmap* image = FetchCached(resourceId, name);
    scaledImages_.Remember(image, resourceId, name);
    return image;
}

RasterBitmap* Editor::FetchCached(int resourceId, const char* name) {
    struct Request {
        Editor* editor;
        const char* name;
    } request{this, name};
    auto load = [](void* context, int id, std::unique_ptr<RasterBitmap>* image) {
        auto* r = static_cast<Request*>(context);
        // An incomplete editor is given up whole, so it loads nothing more; and an image it
        // found no memory for must not be cached as missing.
        if (r->editor->IsComplete()) *image = r->editor->LoadPlatformBitmap(id, r->name);
        return r->editor->IsComplete();
    };
    RasterBitmap* image = nullptr;
    if (!BitmapCache::Process().Fetch(resourceId, load, &request, &image)) MarkIncomplete();
    return image;
}

void Editor::CreateDrawSurfaces() {
    drawBitmap = MakeNothrow<SysBitmap>(PixelWidth(), PixelHeight());
    // A SysBitmap whose pixels could not be had is left empty.
    if (drawBitmap == nullptr || drawBitmap->Width() != PixelWidth() ||
        drawBitmap->Height() != PixelHeight()) {
        MarkIncomplete();
    }
}

bool Editor::SetScale(const PanelScale& scale) {
    if (scale == scale_) return true;
    std::unique_ptr<SysBitmap> resized;
    if (drawBitmap != nullptr) {
        const int w = scale.Pixels(width);
        const int h = scale.Pixels(height);
        resized = MakeNothrow<SysBitmap>(w, h);
        if (resized == nullptr || resized->Width() != w || resized->Height() != h) return false;
    }
    // The box and the menu lie at pixels of the old scale: they go while it holds.
    if (EntryBoxOpen()) FinishEntry(false);
    CloseScaleMenu(false);
    scale_ = scale;
    if (resized != nullptr) drawBitmap = std::move(resized);
    MarkAllChanged();
    return true;
}

void Editor::SetDisplayScale(const PanelScale& display) {
    hostAnnouncedScale_ = true;
    displayScale_ = display;
    if (chosenPercent_ == 0) ApplyScale(display);
}

void Editor::FoundDisplayScale(const PanelScale& display) {
    if (hostAnnouncedScale_) return;
    displayScale_ = display;
    if (chosenPercent_ == 0) ApplyScale(display);
}

void Editor::ChooseScale(int percent) {
    chosenPercent_ = percent > 0 ? PanelScale(percent).Percent() : 0;
    ApplyScale(chosenPercent_ > 0 ? PanelScale(chosenPercent_) : displayScale_);
}

void Editor::OpenScaleMenu(int x, int y) {
    PopupMenu menu;
    char text[16];
    for (const int percent : kScaleChoices) {
        std::snprintf(text, sizeof(text), "%d%%", percent);
        menu.AddItem(text, chosenPercent_ == percent ? ItemChecked : 0);
    }
    menu.AddItem("Follow the display", chosenPercent_ == 0 ? ItemChecked : 0);
    if (HasNativeMenus()) {
        // Null also when the editor went while the menu's loop ran.
        if (CreatePopupMenu(menu, {x, y, x, y}) == &menu) ChooseScaleItem(menu.chosenItem);
        return;
    }
    if (scaleMenu_.IsOpen()) CloseScaleMenu(true);
    scaleMenu_.Open(menu, x, y, width, height);
    if (!scaleMenu_.IsOpen()) return;
    OnMenuShown(true);
    Draw(scaleMenu_.Area());
}

void Editor::ChooseScaleItem(int item) {
    const int choices = static_cast<int>(sizeof(kScaleChoices) / sizeof(kScaleChoices[0]));
    if (item >= 0 && item < choices) ChooseScale(kScaleChoices[item]);
    if (item == choices) ChooseScale(0);
}

void Editor::CloseScaleMenu(bool redraw) {
    if (!scaleMenu_.IsOpen()) return;
    const Rect covered = scaleMenu_.Area();
    scaleMenu_.Close();
    OnMenuShown(false);
    if (redraw) Draw(covered);
}

bool Editor::HandleMenuKey(int virtualKey) {
    if (!scaleMenu_.IsOpen()) return false;
    switch (virtualKey) {
        case 38: scaleMenu_.MoveHighlight(-1); break;
        case 40: scaleMenu_.MoveHighlight(1); break;
        case 27: CloseScaleMenu(true); return true;
        case 13: {
            const int item = scaleMenu_.Highlighted();
            CloseScaleMenu(true);
            ChooseScaleItem(item);
            return true;
        }
        default: return true;
    }
    Draw(scaleMenu_.Area());
    return true;
}

Rect Editor::OverlayMenu(const Rect& r) {
    if (!scaleMenu_.IsOpen() || IsEmptyRect(r)) return r;
    const Rect area = PixelArea(scaleMenu_.Area());
    if (area.left >= r.right || area.right <= r.left || area.top >= r.bottom ||
        area.bottom <= r.top) {
        return r;
    }
    scaleMenu_.Draw(drawBitmap.get(), scale_);
    return UnionRect(r, area);
}

void Editor::ApplyScale(const PanelScale& scale) {
    if (scale == scale_ || !SetScale(scale)) return;
    OnScaleChanged();
    plug->RequestEditorSize(PixelWidth(), PixelHeight());
    RedrawAll();
}

Rect Editor::PixelArea(const Rect& panel) const {
    Rect r = scale_.CoverRect(panel);
    if (scale_.IsUnit()) return r;
    // The slack of a fractional scale stays inside the frame buffer.
    if (r.right > PixelWidth()) r.right = PixelWidth();
    if (r.bottom > PixelHeight()) r.bottom = PixelHeight();
    return r;
}

bool Editor::FindScaledStrip(const BitmapStrip& strip, ScaledStrip* scaled) {
    if (strip.bitmap == nullptr || strip.frames < 1) return false;
    const int percent = scale_.Percent();
    if (scaledImages_.Resolved(strip.bitmap, percent, scaled)) return scaled->bitmap != nullptr;
    int id = 0;
    const char* name = nullptr;
    if (!scaledImages_.Find(strip.bitmap, &id, &name)) return false;
    const int frameWidth = strip.sideBySide ? strip.width / strip.frames : strip.width;
    const int frameHeight = strip.sideBySide ? strip.height : strip.height / strip.frames;
    ScaledStrip found{nullptr, scale_.Pixels(frameWidth), scale_.Pixels(frameHeight)};
    const RasterBitmap* source = strip.bitmap;
    if (percent > 100) {
        const RasterBitmap* twice = FetchCached(kDoubleSizeIdOffset + id, name);
        const bool matches = twice != nullptr && twice->Width() == 2 * strip.width &&
                             twice->Height() == 2 * strip.height;
        if (matches) source = twice;
        if (matches && percent == 200) found.bitmap = twice;
    }
    if (found.bitmap == nullptr) {
        struct Compose {
            const RasterBitmap* source;
            const BitmapStrip* strip;
            const ScaledStrip* size;
        } compose{source, &strip, &found};
        auto load = [](void* context, int, std::unique_ptr<RasterBitmap>* image) {
            const auto* c = static_cast<Compose*>(context);
            *image = ComposeScaledStrip(*c->source, c->strip->frames, c->strip->sideBySide,
                                        c->size->frameWidth, c->size->frameHeight);
            return *image != nullptr;
        };
        // Resource ids are 16-bit: the percentage above them keeps each scale's images apart,
        // and the source set's bit keeps a composition from 1x apart from one from 2x.
        const int key = percent << 17 | (source != strip.bitmap ? 1 << 16 : 0) | (id & 0xFFFF);
        RasterBitmap* composed = nullptr;
        if (BitmapCache::Process().Fetch(key, load, &compose, &composed)) found.bitmap = composed;
    }
    // Remembered even when missing, so a frame never composes again.
    scaledImages_.Resolve(strip.bitmap, percent, found);
    *scaled = found;
    return found.bitmap != nullptr;
}

// --- Drawing -----------------------------------------------------------------------------------

bool Editor::Draw(const Rect& panel) {
    if (ControlCount() == 0) return true;
    // Drawing and its tests work in the frame buffer's pixels, so a control that rounds one
    // pixel past its panel edge at a fractional scale is drawn again with what it overlaps.
    const Rect r = IsEmptyRect(panel) ? panel : PixelArea(panel);
    drawClip = r;
    for (int i = 0; i < ControlCount(); ++i) {
        Control* control = controls.Get(i);
        const Rect& panelRect = control->GetRect();
        const Rect cr = IsEmptyRect(panelRect) ? panelRect : scale_.PlaceRect(panelRect);
        // A control whose left or top edge lies on r's right or bottom edge counts as meeting.
        const bool meets = !IsEmptyRect(r) && !IsEmptyRect(cr) && cr.left <= r.right &&
                           cr.right > r.left && cr.top <= r.bottom && cr.bottom > r.top;
        if (!control->IsHidden() && meets) control->Draw(*this);
        // Only a control the pass covered whole is up to date; one partly or not at all in r
        // (an uncovered strip of the window, the area under a closed entry box) keeps its
        // flags for the next tick.
        const bool covered = IsEmptyRect(cr) || (cr.left >= r.left && cr.top >= r.top &&
                                                 cr.right <= r.right && cr.bottom <= r.bottom);
        if (covered) control->MarkDrawn();
    }
    return PresentRect(OverlayMenu(r));
}

bool Editor::NeedsRedraw(Rect& r) {
    bool any = false;
    for (int i = 0; i < ControlCount(); ++i) {
        Control* control = controls.Get(i);
        if (!control->NeedsRedraw()) continue;
        any = true;
        const Rect& cr = control->GetRect();
        if (IsEmptyRect(r)) {
            r = cr;
        } else if (!IsEmptyRect(cr)) {
            r = UnionRect(r, cr);
        }
    }
    return any;
}

bool Editor::DrawStripFrame(const BitmapStrip& strip, const Rect& panel, int frame,
                            const ControlBlend* blend) {
    int srcX = 0;
    int srcY = 0;
    const RasterBitmap* bitmap = strip.bitmap;
    Rect r = panel;
    if (!scale_.IsUnit()) {
        ScaledStrip scaled;
        if (!FindScaledStrip(strip, &scaled)) return true;
        bitmap = scaled.bitmap;
        const int step = frame >= 2 && strip.frames >= 2 ? frame - 1 : 0;
        (strip.sideBySide ? srcX : srcY) =
            step * (strip.sideBySide ? scaled.frameWidth : scaled.frameHeight);
        const Rect placed = scale_.PlaceRect(panel);
        // The frame's own size: the rectangle may be larger than a frame, never its pixels.
        r = {placed.left, placed.top, placed.left + scaled.frameWidth,
             placed.top + scaled.frameHeight};
        if (placed.right < r.right) r.right = placed.right;
        if (placed.bottom < r.bottom) r.bottom = placed.bottom;
    } else if (strip.frames >= 2 && frame >= 2) {
        const double extent = strip.sideBySide ? strip.width : strip.height;
        const int offset = static_cast<int>(extent * (frame - 1) / strip.frames + 0.5);
        (strip.sideBySide ? srcX : srcY) = offset;
    }
    Rect c{};
    if (!IsEmptyRect(r) && !IsEmptyRect(drawClip) && Touches(r, drawClip)) {
        c = {r.left > drawClip.left ? r.left : drawClip.left,
             r.top > drawClip.top ? r.top : drawClip.top,
             r.right < drawClip.right ? r.right : drawClip.right,
             r.bottom < drawClip.bottom ? r.bottom : drawClip.bottom};
    }
    const float weight = blend != nullptr ? blend->weight : 1.0f;
    if (drawBitmap) {
        const Rect source{srcX + c.left - r.left, srcY + c.top - r.top, srcX + c.right - r.left,
                          srcY + c.bottom - r.top};
        Blit(drawBitmap.get(), bitmap, c.left, c.top, &source, weight, BlitMode(blend));
    }
    return true;
}

// --- Input -------------------------------------------------------------------------------------

int Editor::ControlIndexAt(int x, int y) const {
    for (int i = ControlCount() - 1; i >= 0; --i) {
        const Control& control = *controls.Get(i);
        if (!control.IsHidden() && !control.IsGrayed() && control.HitTest(x, y)) return i;
    }
    return -1;
}

void Editor::StartGesture(int index, int x, int y) {
    mouseCapture = index;
    mouseX = x;
    mouseY = y;
    const int param = controls.Get(index)->ParamIdx();
    if (param < 0) return;
    editParam = param;
    plug->BeginParamEdit(param);
}

void Editor::EndEdit() {
    const int param = editParam;
    editParam = -1;
    if (param >= 0) plug->EndParamEdit(param);
}

void Editor::CancelGesture() {
    Control* held = ControlAt(mouseCapture);
    mouseCapture = -1;
    mouseX = -1;
    if (held != nullptr) held->OnGestureCancelled();
    EndEdit();
}

void Editor::OnMouseDown(int x, int y, const MouseMod& mod) {
    // A press while another is held (whose release this window never got): that one is over.
    CancelGesture();
    mouseX = mouseY = -1;
    const int index = ControlIndexAt(x, y);
    if (index < 0) return;
    StartGesture(index, x, y);
    controls.Get(index)->OnMouseDown(x, y, mod);
}

void Editor::OnMouseUp(int x, int y, const MouseMod& mod) {
    // A release without its press (the last click of a double-click that closed a window over
    // the panel, say) is no gesture of this editor's.
    if (mouseCapture < 0) return;
    Control* control = controls.Get(mouseCapture);
    mouseX = -1;
    mouseCapture = -1;
    control->OnMouseUp(x, y, mod);
    EndEdit();
}

void Editor::OnMouseDrag(int x, int y, const MouseMod& mod) {
    if (mouseCapture < 0 || (x == mouseX && y == mouseY)) return;
    const int dX = x - mouseX;
    const int dY = y - mouseY;
    mouseX = x;
    mouseY = y;
    controls.Get(mouseCapture)->OnMouseDrag(x, y, dX, dY, mod);
}

bool Editor::OnMouseDblClick(int x, int y, const MouseMod& mod) {
    CancelGesture();
    mouseX = mouseY = -1;
    const int index = ControlIndexAt(x, y);
    if (index < 0) return false;
    Control* control = controls.Get(index);
    if (!control->DblClickAsPress()) {
        control->OnMouseDblClick(x, y, mod);
        return false;
    }
    // The second press of two clicks, an edit of its own.
    StartGesture(index, x, y);
    control->OnMouseDown(x, y, mod);
    return true;
}

void Editor::OnMouseWheel(int x, int y, const MouseMod& mod, int detents) {
    if (detents == 0) return;
    Control* control = ControlAt(mouseCapture >= 0 ? mouseCapture : ControlIndexAt(x, y));
    if (control != nullptr) control->OnMouseWheel(x, y, mod, detents);
}

bool Editor::OnKeyDown(int x, int y, KeyCode key) {
    const int index = mouseCapture >= 0 ? mouseCapture : ControlIndexAt(x, y);
    if (index <= 0) {
        return fallbackKeyControl != nullptr && fallbackKeyControl->OnKeyDown(x, y, key);
    }
    return controls.Get(index)->OnKeyDown(x, y, key);
}

// --- Values ------------------------------------------------------------------------------------

void Editor::AskForValue(Control* control, PluginParam* param, const Rect* r) {
    if (control != nullptr && r != nullptr && param == nullptr) {
        // Free text, delivered to the control's ReceiveEnteredText.
        OpenEntryBox(control, control->Text(), *r, " ", nullptr);
        return;
    }
    if (control == nullptr || param == nullptr || r == nullptr) {
        if (control == nullptr) std::fputs("missing pControl..\n", stdout);
        if (param == nullptr) std::fputs("missing pParam..\n", stdout);
        if (r == nullptr) std::fputs("missing TextRect..\n", stdout);
        return;
    }
    char text[64];
    {
        LockGuard guard(plug->Lock());
        param->FormatValueOf(param->value, false, text, sizeof(text), false);
    }
    OpenEntryBox(control, control->Text(), *r, text, param);
}

void Editor::ShowEditedValue(const Control& source) {
    const PluginParam* param = plug->Param(source.ParamIdx());
    if (param == nullptr) return;
    const double stored = param->NormalizedValue();
    for (int c = 0; c < ControlCount(); ++c) {
        Control* control = controls.Get(c);
        if (control != &source && control->ParamIdx() == source.ParamIdx()) {
            control->ReceiveValue(stored);
        }
    }
}

void Editor::ReceiveParamFromPlugin(int index, double value, bool isNormalized) {
    if (!isNormalized) {
        const PluginParam* param = plug->Param(index);
        if (param == nullptr) return;
        value = param->NormalizedValueOf(value);
    }
    for (int c = 0; c < ControlCount(); ++c) {
        Control* control = controls.Get(c);
        if (control->ParamIdx() == index) control->ReceiveValue(value);
        for (int i = 0; i < control->AuxValueCount(); ++i) {
            if (control->AuxParamIdx(i) == index) {
                control->ReceiveAuxValue(i, value);
                break;
            }
        }
    }
}
