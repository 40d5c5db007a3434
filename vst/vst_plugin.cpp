#include "vst/vst_plugin.h"

#include <cstdint>
#include <cstring>

#include "editor/editor.h"

namespace {

void SetArrangement(vst2::VstSpeakerArrangement& arrangement, int channels) {
    std::memset(&arrangement, 0, sizeof(arrangement));
    arrangement.numChannels = channels;
    switch (channels) {
        case 0: arrangement.type = vst2::kSpeakerArrEmpty; break;
        case 1: arrangement.type = vst2::kSpeakerArrMono; break;
        case 2: arrangement.type = vst2::kSpeakerArrStereo; break;
        default: arrangement.type = vst2::kSpeakerArrUserDefined; break;
    }
}

// Hosts whose input buses must be limited to the first two channels.
bool NeedsStereoInputs(int hostCode) {
    return hostCode == 15 || hostCode == 17 || hostCode == 18 || hostCode == 20;
}

struct HostTableRow {
    const char* text;
    int code;
};

// Tested in this order; the first text found in the lower-cased product text wins.
constexpr HostTableRow kHostTable[] = {
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"standalone", 24},
};

}  // namespace

VstPlugin::VstPlugin(vst2::audioMasterCallback host, const PluginConstants& constants)
    : PluginBase(constants), hostCallback(host) {
    effect.magic = vst2::kEffectMagic;
    effect.dispatcher = &VstPlugin::VSTDispatcher;
    effect.process = &VstPlugin::Process;
    effect.setParameter = &VstPlugin::SetParameter;
    effect.getParameter = &VstPlugin::GetParameter;
    effect.numPrograms = PresetCount();
    effect.numParams = ParamCount();
    effect.numInputs = NInputs();
    effect.numOutputs = NOutputs();
    effect.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing;
    if (LegalIO(1, -1)) effect.flags |= vst2::effFlagsCanMono;
    effect.initialDelay = latency;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = uniqueId;
    effect.version = (pluginVersion >> 16) * 10000 + ((pluginVersion >> 8) & 0xFF) * 100 +
                     (pluginVersion & 0xFF);
    effect.processReplacing = &VstPlugin::ProcessReplacing;
    effect.processDoubleReplacing = &VstPlugin::ProcessDoubleReplacing;

    SetArrangement(inputArrangement, NInputs());
    SetArrangement(outputArrangement, NOutputs());
    for (int i = 0; i < NInputs(); ++i) Input(i)->connected = true;
    for (int i = 0; i < NOutputs(); ++i) Output(i)->connected = true;
    if (IsComplete() && !SetBlockSize(1024)) MarkIncomplete();
}

// The editor's destructor may still call the host (the host-call operations live here).
VstPlugin::~VstPlugin() { DeleteEditor(); }

Editor* VstPlugin::WindowEditor() const {
    return editor != nullptr && editor->CanOpenWindow() ? editor : nullptr;
}

VstPlugin* VstPlugin::FromEffect(vst2::AEffect* effect) {
    return effect != nullptr ? static_cast<VstPlugin*>(effect->object) : nullptr;
}

int VstPlugin::IdentifyHost(const char* productText) {
    char lower[256];
    std::size_t n = 0;
    for (; productText != nullptr && productText[n] != '\0' && n + 1 < sizeof(lower); ++n) {
        // ASCII only: the host may have set a locale that would fold other bytes too.
        const char c = productText[n];
        lower[n] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    lower[n] = '\0';
    for (const HostTableRow& row : kHostTable) {
        if (std::strstr(lower, row.text) != nullptr) return row.code;
    }
    return 0;
}

vst2::intptr VstPlugin::HostCall(vst2::int32 opcode, vst2::int32 index, vst2::intptr value,
                                 void* ptr, float opt) {
    return hostCallback != nullptr ? hostCallback(&effect, opcode, index, value, ptr, opt) : 0;
}

void VstPlugin::AttachEditor(Editor* newEditor) {
    if (newEditor == nullptr) return;
    PluginBase::AttachEditor(newEditor);
    if (newEditor->CanOpenWindow()) {
        effect.flags |= vst2::effFlagsHasEditor;
    } else {
        effect.flags &= ~vst2::effFlagsHasEditor;
    }
    editorRect = {0, 0, static_cast<vst2::int16>(newEditor->PixelHeight()),
                  static_cast<vst2::int16>(newEditor->PixelWidth())};
}

void VstPlugin::ResizeEditor(int /*width*/, int /*height*/) {
    if (editor == nullptr) return;
    editorRect = {0, 0, static_cast<vst2::int16>(editor->PixelHeight()),
                  static_cast<vst2::int16>(editor->PixelWidth())};
    OnEditorResized();
}

bool VstPlugin::RequestEditorSize(int width, int height) {
    editorRect = {0, 0, static_cast<vst2::int16>(height), static_cast<vst2::int16>(width)};
    return HostCall(vst2::audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

void VstPlugin::SetLatency(int samples) {
    latency = samples;
    effect.initialDelay = samples;
}

void VstPlugin::HostSpecificSetup() {
    if (setupFinished) return;
    setupFinished = true;
    if (NeedsStereoInputs(HostCode())) RestrictInputsToStereo();
    inputArrangement.numChannels = effect.numInputs = NInputs();
    outputArrangement.numChannels = effect.numOutputs = NOutputs();
    HostAdjusted();
}

std::int32_t VstPlugin::HostCode() {
    if (hostCode != -1) return hostCode;
    char product[256] = "";
    HostCall(vst2::audioMasterGetProductString, 0, 0, product);
    // A host that fills the whole buffer without a terminator is read no further than it.
    product[sizeof(product) - 1] = '\0';
    if (product[0] != '\0') {
        // 64-bit arithmetic: a version from 327,680,000 up overflows 32 bits when packed.
        const std::int64_t v =
            static_cast<std::int32_t>(HostCall(vst2::audioMasterGetVendorVersion));
        hostVersion =
            static_cast<std::int32_t>((v / 10000) * 65536 + ((v % 10000) / 100) * 256 + (v % 100));
    } else {
        hostVersion = 0;
    }
    hostCode = IdentifyHost(product);
    return hostCode;
}
