#include "tests/win32/editor_window_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

vst2::AEffect* EntryWithHeadlessEditor(vst2::audioMasterCallback host) {
    auto* effect = new ORV_Q12(host, &HeadlessEditor::Create);
    effect->AddPreset("Empty", effect->PresetCount());
    return effect->Effect();
}

}  // namespace

ReferencePanel::ReferencePanel() {
    effect = EntryWithHeadlessEditor(&host::RecordingHost::Callback);
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    editor = static_cast<HeadlessEditor*>(VstPlugin::FromEffect(effect)->AttachedEditor());
}

ReferencePanel::~ReferencePanel() { effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0); }

void ReferencePanel::Settle() {
    for (int i = 0; i < 8; ++i) editor->Tick();
}

void EditorWindowTest::SetUp() {
    hostWindow->ClearKeys();
    fx = CreateOpened();
    host_.ClearCalls();
}

void EditorWindowTest::TearDown() {
    if (fx.Effect() != nullptr) fx.Dispatch(vst2::effEditClose);
    ModuleTest::TearDown();
}

HWND EditorWindowTest::OpenEditor(const host::HostedEffect& effect) {
    if (effect.Dispatch(vst2::effEditOpen, 0, 0, hostWindow->Handle()) != 1) return nullptr;
    PumpPending();
    editorWindow = FindWindowExA(hostWindow->Handle(), nullptr, "PluginEditorWndClass", nullptr);
    return editorWindow;
}

void EditorWindowTest::Settle() {
    for (int i = 0; i < 8; ++i) Tick();
    reference.Settle();
}

void EditorWindowTest::Post(UINT message, WPARAM keys, int x, int y) {
    PostMessageA(editorWindow, message, keys, MAKELPARAM(x, y));
    PumpPending();
}

void EditorWindowTest::Drag(Point from, int dx, int dy) {
    Press(from);
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int s = 1; s <= steps; ++s) {
        Post(WM_MOUSEMOVE, MK_LBUTTON, from.x + dx * s / steps, from.y + dy * s / steps);
    }
    Release({from.x + dx, from.y + dy});
}

void EditorWindowTest::Wheel(Point at, int delta) {
    POINT screen{at.x, at.y};
    ClientToScreen(editorWindow, &screen);
    PostMessageA(editorWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    PumpPending();
}

std::unique_ptr<SysBitmap> EditorWindowTest::Capture() const {
    return CaptureWindow(editorWindow, kPanelWidth, kPanelHeight);
}

int EditorWindowTest::DifferencesFromReference(const RasterBitmap& shown) const {
    return DifferingPixels(shown, *reference.editor->FrameBuffer(), 0, 0, kPanelWidth,
                           kPanelHeight);
}

std::vector<vst2::int32> EditorWindowTest::EditCallsSinceClear() const {
    std::vector<vst2::int32> edits;
    for (const host::HostCallRecord& call : host_.Calls()) {
        if (call.opcode == vst2::audioMasterBeginEdit || call.opcode == vst2::audioMasterAutomate ||
            call.opcode == vst2::audioMasterEndEdit) {
            edits.push_back(call.opcode);
        }
    }
    return edits;
}
