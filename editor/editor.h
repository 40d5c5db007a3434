// Editor: the platform-neutral half of the plug-in's editor. It owns the ordered control list,
// the frame buffer the controls are composed into, and reaches the process-wide image and font
// caches. It turns mouse and key events into calls on the control under the pointer, carries
// parameter values from the plug-in object to the controls and user edits back, and runs the
// redraw tick and the text entry box's states. Everything that needs the operating system is a
// virtual operation of a back-end: HeadlessEditor (offscreen), Win32Editor, X11Editor.
// Lifecycle: the effect creates and fills it, AttachEditor hands it to the plug-in object, which
// owns it from then on; windows come and go while the editor lives as long as the plug-in.
// Nothing here throws: a piece of the editor that memory is too short for leaves it incomplete
// (IsComplete), and whoever builds it then gives the whole plug-in up.
// Threads: everything runs on the window thread except ReceiveParamFromPlugin, which the host's
// thread calls inside the plug-in lock, and which touches only the controls' atomics.
#pragma once

#include <memory>

#include "editor/control.h"
#include "editor/editor_types.h"
#include "editor/panel_menu.h"
#include "editor/panel_scale.h"
#include "editor/popup_menu.h"
#include "editor/scaled_images.h"
#include "plugin/module_handle.h"
#include "plugin/pointer_list.h"
#include "raster/sys_bitmap.h"

class PluginBase;
class PluginParam;
class TextBuffer;

// An operating-system window (HWND, an X11 window id); portable code only passes it along.
using WindowHandle = void*;

class Editor {
public:
    explicit Editor(PluginBase* plug);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // The virtual operations keep this slot order.
    virtual void PlatformHook() = 0;
    // Copies a rectangle of the frame buffer to the window.
    virtual bool PresentRect(const Rect& r) = 0;
    // Sets the rectangle to the text's extent, aligned by the style; false when no font.
    virtual bool MeasureText(TextStyle& style, const char* text, Rect& r);
    virtual void CancelEntryBox();
    virtual void Resize(int newWidth, int newHeight);
    virtual bool HasEditorWindow();
    virtual const char* EmptyText();
    // The prompts no control of this system uses answer here as cancelled or failed; a window
    // back-end overrides them with real dialogs.
    virtual int ShowMessage(const char* text, const char* caption, int type);
    virtual PopupMenu* CreatePopupMenu(PopupMenu& menu, const Rect& r);
    virtual void OpenEntryBox(Control* control, const TextStyle& style, const Rect& r,
                              const char* text, PluginParam* param) = 0;
    virtual void HostFolder(TextBuffer& folder);
    virtual void ModuleFolder(TextBuffer& folder);
    virtual void DesktopFolder(TextBuffer& folder);
    virtual void AppDataFolder(TextBuffer& folder);
    virtual void ChooseFile(TextBuffer& file, int action, TextBuffer& folder,
                            const char* extensions, bool pickFolder);
    virtual bool PickColor(Color& color, const char* prompt);
    virtual bool OpenWebAddress(const char* address, const char* title, const char* confirmation,
                                const char* failure);
    virtual int ReservedQuery();
    virtual WindowHandle CreateEditorWindow(WindowHandle parent) = 0;
    virtual void ReservedHookA();
    virtual void ReservedHookB();
    virtual void DestroyEditorWindow() = 0;
    virtual WindowHandle EditorWindowHandle() = 0;
    virtual ~Editor();
    virtual void HidePointer();
    virtual void ShowPointer();
    virtual void ReservedHookC();
    // The image resource `id` of the module; the name only decides by its extension ("png",
    // any case) whether it is loaded at all. Null when it cannot be; when that is for lack of
    // memory, the editor is also marked incomplete, so the image is not taken for missing.
    virtual std::unique_ptr<RasterBitmap> LoadPlatformBitmap(int id, const char* name);

    // The seam for the window back-ends, beyond the slots above.
    // Whether CreateEditorWindow can give the host a real window.
    virtual bool CanOpenWindow() const { return false; }
    // Repaints a rectangle now: Draw by default; a window may invalidate and update instead.
    virtual void RedrawRect(const Rect& r);
    // The open entry box, as the back-end keeps it.
    virtual bool EntryBoxOpen() const { return false; }
    // Up to capacity - 1 characters of the box's text.
    virtual void ReadEntryText(char* text, int capacity);
    virtual void DestroyEntryBox() {}
    // The host's idle call (effEditIdle) on its user-interface thread: a back-end whose window
    // has no timer or message loop of its own handles its events and the redraw tick here.
    virtual void Idle() {}
    // The descriptor whose readability means events wait for Idle (the X11 editor's connection
    // while its window is open), for hosts that run a loop of their own and call Idle when it is
    // readable and on a 20 ms timer; -1 when there is none.
    virtual int EventFileDescriptor() const { return -1; }
    // A press is about to reach the controls: a window takes the keyboard focus and the mouse
    // here, before a control may open an entry box that takes the focus in turn.
    virtual void TakeFocusAndMouse() {}

    // Building the panel.
    void SetModuleInstance(ModuleHandle module) { instance = module; }
    // Each of these marks the editor incomplete when memory is short.
    // The background image as control 0, drawn opaque.
    void AddBackground(int resourceId, const char* name);
    // Takes the control; returns its index, or -1 (the control deleted) when there is no
    // control or the list cannot grow.
    int AddControl(std::unique_ptr<Control> control);
    // The image from the process-wide cache, loaded on first use; null when it cannot be. An
    // image that memory was too short for is not cached, so a later fetch loads it again.
    RasterBitmap* FetchImage(int resourceId, const char* name);
    // The frame buffer, width x height.
    void CreateDrawSurfaces();
    // False once a piece of the editor could not be had for lack of memory.
    bool IsComplete() const { return complete; }

    // Drawing.
    // Draws the controls meeting r into the frame buffer and presents r.
    bool Draw(const Rect& r);
    // Widens r by the rectangle of every control that needs drawing; true when any does.
    bool NeedsRedraw(Rect& r);
    // Draws frame `frame` (from 1) of the strip at the rectangle, clipped to the pass's clip.
    bool DrawStripFrame(const BitmapStrip& strip, const Rect& r, int frame,
                        const ControlBlend* blend);

    // The display scale. Controls, hit tests and gestures stay in panel units (Width x Height);
    // the frame buffer, what PresentRect is given and the pixels the Handle* calls take are
    // the scale's pixels.
    const PanelScale& Scale() const { return scale_; }
    // Redraws the whole panel at the new scale (an open entry box is cancelled); false, with
    // the scale as it was, when the frame buffer at the new size cannot be had.
    bool SetScale(const PanelScale& scale);
    int PixelWidth() const { return scale_.Pixels(width); }
    int PixelHeight() const { return scale_.Pixels(height); }
    // The frame-buffer pixels a redraw of the panel rectangle touches.
    Rect PixelArea(const Rect& panel) const;
    // The scale of the display the window is on, as the host announces it (VST 3's content
    // scale, CLAP's set_scale, LV2's ui:scaleFactor); the editor takes it while the user
    // follows the display. Once a host has announced one, what a back-end finds is ignored.
    void SetDisplayScale(const PanelScale& display);
    // The scale a window back-end reads from the system when its window opens or moves.
    void FoundDisplayScale(const PanelScale& display);
    // The user's choice: a percentage, or 0 to follow the display again. Kept for the editor's
    // life (the plug-in's), not in the plug-in's state: a project moves between screens.
    void ChooseScale(int percent);
    int ChosenPercent() const { return chosenPercent_; }
    const PanelScale& DisplayScale() const { return displayScale_; }
    // A window back-end resizes its window to PixelWidth x PixelHeight here, after the scale
    // changed while it is open.
    virtual void OnScaleChanged() {}

    // The scale menu a right click on the panel's background opens: kScaleChoices, then
    // "Follow the display", the scale in use checked. A window with native menus shows it with
    // CreatePopupMenu; the others get the PanelMenu, drawn over the panel until an item is
    // clicked or chosen with the arrows and Enter, or Escape or a click elsewhere closes it.
    static constexpr int kScaleChoices[] = {100, 125, 150, 200, 250, 300};
    void OpenScaleMenu(int x, int y);
    virtual bool HasNativeMenus() const { return false; }
    const PanelMenu& ScaleMenu() const { return scaleMenu_; }
    // The drawn menu's keys (Windows virtual-key numbers); false when it is not open.
    bool HandleMenuKey(int virtualKey);
    // The drawn menu opened or closed: a window takes the keyboard for it, or gives it back.
    virtual void OnMenuShown(bool /*shown*/) {}

    // Input, in panel units.
    void OnMouseDown(int x, int y, const MouseMod& mod);
    void OnMouseUp(int x, int y, const MouseMod& mod);
    void OnMouseDrag(int x, int y, const MouseMod& mod);
    bool OnMouseDblClick(int x, int y, const MouseMod& mod);
    void OnMouseWheel(int x, int y, const MouseMod& mod, int detents);
    bool OnKeyDown(int x, int y, KeyCode key);

    // What a window does with its events, the operating system left out: the back-ends
    // translate their messages into these, then do only their own part (capture, focus).
    // Their positions are the window's pixels, turned into panel units here.
    // The redraw timer's work: the entry box's pending state, else the dirty controls.
    void Tick();
    // True when the editor took the press: the window then takes the focus and the mouse.
    bool HandlePress(int x, int y, MouseButton button, const MouseMod& mod);
    // True when the editor took the release: the window then lets the mouse go.
    bool HandleRelease(int x, int y, const MouseMod& mod);
    // Only while a button is held and the window has the mouse.
    void HandleDrag(int x, int y, const MouseMod& mod);
    // True when the window should take the mouse as for a press.
    bool HandleDoubleClick(int x, int y, const MouseMod& mod);
    // Whole notches; a back-end keeps what its partial deltas add up to until they make one.
    void HandleWheel(int x, int y, const MouseMod& mod, int detents);
    // A Windows virtual-key number at the pointer; false when no control took it, so the
    // back-end hands it on to the host.
    bool HandleKey(int x, int y, int virtualKey);
    // The mouse was taken from the editor mid-gesture (a window lost its capture, was unmapped
    // or closed): the pressed control lets go without acting, and the edit the press began ends.
    void CancelGesture();
    // On opening a window: every control draws on the first paint.
    void MarkAllChanged();
    // The entry box's own events, whichever box the back-end has: gaining the keyboard (the
    // user clicked into it), losing it (cancels), Enter (commits); the next tick acts on them.
    void EntryFocusChanged(bool gained);
    void CommitEntryBox();

    // Values between the plug-in and the controls.
    // Opens the entry box over a control with the parameter's current value.
    void AskForValue(Control* control, PluginParam* param, const Rect* r);
    // Host's thread, inside the plug-in lock: the value (plain units, or normalised) goes to
    // every control bound to the parameter.
    void ReceiveParamFromPlugin(int index, double value, bool isNormalized);
    // Inside the plug-in lock, after a control sent the user's value: every other control bound
    // to the parameter shows what the parameter now holds.
    void ShowEditedValue(const Control& source);

    int Width() const { return width; }
    int Height() const { return height; }
    int Fps() const { return fps; }
    int ControlCount() const { return controls.Count(); }
    Control* ControlAt(int index) const;
    int MouseCapture() const { return mouseCapture; }
    const RasterBitmap* FrameBuffer() const { return drawBitmap.get(); }
    TextEntryState EntryState() const { return entryState; }
    Control* EntryControl() const { return entryControl; }

protected:
    // Index of the topmost visible, enabled control under the point, or -1.
    int ControlIndexAt(int x, int y) const;
    // Closes the entry box, applying its text first when committing.
    void FinishEntry(bool apply);
    // A press reached the control at index: it holds the mouse, and the host hears that its
    // parameter's edit begins.
    void StartGesture(int index, int x, int y);
    // The host hears the end of the edit StartGesture began, once.
    void EndEdit();
    // The editor's area redrawn at once, as after a window uncovers it.
    void RedrawAll();
    // Whether the open entry box has the keyboard: the window then acts on presses only.
    bool EntryBoxHasFocus() const;
    void DeleteControls();
    void MarkIncomplete() { complete = false; }
    // Closes the drawn menu, redrawing what it covered when asked.
    void CloseScaleMenu(bool redraw);

    PointerList<Control> controls;
    PluginBase* plug;
    Rect drawClip;
    bool cursorHidden = false;
    int savedCursorX = -1;
    int savedCursorY = -1;
    std::unique_ptr<SysBitmap> drawBitmap;
    int width = 300;
    int height = 350;
    int fps = 50;
    int mouseCapture = -1;
    int mouseX = 0;
    int mouseY = 0;
    // The parameter whose edit the host was told began, or -1: the one edit EndEdit ends.
    int editParam = -1;
    std::unique_ptr<Control> fallbackKeyControl;
    ModuleHandle instance = nullptr;
    // The control and parameter of the open entry box, and what the next tick does with it.
    Control* entryControl = nullptr;
    PluginParam* entryParam = nullptr;
    TextEntryState entryState = TextEntryState::Idle;

private:
    void ApplyEnteredText(const char* text);
    // The image from the process-wide cache, without noting it as one of the panel's.
    RasterBitmap* FetchCached(int resourceId, const char* name);
    // The strip as drawn at the editor's scale; false when there is nothing to draw.
    bool FindScaledStrip(const BitmapStrip& strip, ScaledStrip* scaled);

    // The scale chosen or followed; the host is asked for the window's new size.
    void ApplyScale(const PanelScale& scale);
    // Item i of the scale menu.
    void ChooseScaleItem(int item);
    // Draws the open menu over the frame buffer when it meets the pixels r; r widened by it.
    Rect OverlayMenu(const Rect& r);

    PanelMenu scaleMenu_;

    PanelScale scale_;
    PanelScale displayScale_;
    int chosenPercent_ = 0;  // 0: the display's
    bool hostAnnouncedScale_ = false;
    ScaledImages scaledImages_;

    bool complete = true;
};
