#include "tests/e2e/editor_parent.h"
#include "tests/win32/host_window.h"

namespace {

class Win32Parent : public EditorParent {
public:
    void* Handle() const override { return Window(); }
    void Idle(host::PluginInstance& fx) override {
        PumpPending();
        fx.IdleEditor();
    }
    int EditorsAfterIdling(host::PluginInstance& fx, int) override {
        Idle(fx);
        int count = 0;
        for (HWND w = Editor(nullptr); w != nullptr; w = Editor(w)) ++count;
        return count;
    }
    void Click(host::PluginInstance& fx, int x, int y, bool right) override {
        const LPARAM at = MAKELPARAM(x, y);
        PostMessageA(Editor(nullptr), right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN,
                     right ? MK_RBUTTON : MK_LBUTTON, at);
        PostMessageA(Editor(nullptr), right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
        Idle(fx);
        PumpMessages(60);
    }

    std::vector<uint32_t> EditorPixels(host::PluginInstance& fx) override {
        Idle(fx);
        PumpMessages(60);
        const HWND editor = Editor(nullptr);
        RECT r{};
        if (editor == nullptr || !GetClientRect(editor, &r)) return {};
        const std::unique_ptr<SysBitmap> shot = CaptureWindow(editor, r.right, r.bottom);
        if (shot == nullptr) return {};
        std::vector<uint32_t> rgb;
        for (int y = 0; y < shot->Height(); ++y) {
            for (int x = 0; x < shot->Width(); ++x)
                rgb.push_back(shot->Bits()[y * shot->RowSpan() + x] & 0xFFFFFFu);
        }
        return rgb;
    }

    // The desktop's resolution is the prefix's (its LogPixels, which the 192 dpi suite's prefix
    // sets): the test only becomes a DPI-aware host, which sees it, and says whether it is dpi.
    bool SetDisplayDpi(int dpi) override {
        SetProcessDPIAware();
        HDC screen = GetDC(nullptr);
        const int current = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        return current == dpi;
    }

private:
    static HWND Window() { return HostWindow::Shared().Handle(); }
    // The editor window after `previous` (the first for null).
    static HWND Editor(HWND previous) {
        return FindWindowExA(Window(), previous, "PluginEditorWndClass", nullptr);
    }
};

}  // namespace

std::unique_ptr<EditorParent> EditorParent::Create() { return std::make_unique<Win32Parent>(); }
