// The LV2 format of the plug-in host (plugin_host.h): a bundle folder (ORV_Q12.lv2) loaded by its
// path, its description read from it alone (lv2_description.h), its binary's descriptors called
// as a host calls them. LV2 hands the rate to instantiate, so an instance is made when it is first
// needed, and made again when it starts at another rate or with longer blocks (its UI, if open,
// closes and opens again around that). The host keeps the control ports' values, which are the
// plug-in's whole state: normalised values map onto a port's range as x * (max - min) + min,
// rounded for lv2:integer and lv2:toggled ports; the texts are the host's, made from each
// control's unit; the state is the ports' values as the program-state bytes every format's suites
// compare (the header, then a little-endian double per control). A state that is not exactly one
// is refused, nothing changed. The UI opens in the host's window with instance-access, ui:parent,
// ui:touch and ui:resize, is told each port's value when it opens and whenever the host changes
// one, and IdleEditor calls its idle interface; its port writes land in the ports at once, to be
// read by the next run. An LV2 UI tells its size only once it exists, so before the first opening
// the host learns it as hosts do, from a UI made in a window of its own (ProbeWindow).
// Lifecycle and threads: as plugin_host.h says; the module must outlive its instances.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/lv2_description.h"
#include "host/plugin_host.h"
#include "host/shared_library.h"

namespace host {

class Lv2Module;

class Lv2Instance : public PluginInstance {
public:
    explicit Lv2Instance(Lv2Module& module);
    ~Lv2Instance() override;

    std::string Name() override;
    std::string Vendor() override;
    std::string Version() override;
    bool Start(double sampleRate, int maxBlock) override;
    void Stop() override;
    bool SetChannels(int channels) override;
    int ParamCount() override;
    std::string ParamName(int index) override;
    std::string ParamLabel(int index) override;
    std::string ParamDisplay(int index) override;
    bool ParamDisplayOf(int index, double normalized, std::string* text) override;
    double GetParam(int index) override;
    void SetParam(int index, double normalized) override;
    bool SetParamAt(int index, double normalized, int offset) override;
    bool SetParamFromText(int index, const std::string& text) override;
    void Process(float* const* inputs, float* const* outputs, int frames) override;
    void Process(double* const* inputs, double* const* outputs, int frames) override;
    Bytes SaveState() override;
    bool LoadState(const Bytes& state) override;
    bool HasEditor() override;
    bool EditorSize(int* width, int* height) override;
    bool OpenEditor(void* parent) override;
    void IdleEditor() override;
    void CloseEditor() override;
    std::vector<HostEvent> HostEvents() override;
    void ClearHostEvents() override;
    void CloseAbruptly() override;

private:
    const Lv2Control* Control(int index) const;
    // The parameter whose control is at port, -1 for none.
    int ControlOfPort(uint32_t port) const;
    // A value for the control's port: within its range, a whole number where it takes one.
    static float PortValue(const Lv2Control& control, double plain);
    // Sets the port and tells an open UI, as a host does for changes of its own.
    void SetPort(int index, float value);
    // An instance at the rate for blocks of at most maxBlock frames; false when the plug-in
    // makes none.
    bool Instantiate(double sampleRate, int maxBlock);
    // The instance, made at a host's usual rate if there is none yet.
    bool Instantiated();
    void Destroy();
    bool OpenUi(void* parent);
    void CloseUi();
    void Run(float* const* inputs, float* const* outputs, int frames);

    static void WriteFromUi(LV2UI_Controller controller, uint32_t port, uint32_t size,
                            uint32_t protocol, const void* buffer);
    static void TouchFromUi(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);
    static int ResizeFromUi(LV2UI_Feature_Handle handle, int width, int height);

    Lv2Module& module_;
    bool abandoned_ = false;
    LV2_Handle handle_ = nullptr;
    double rate_ = 0;
    int maxBlock_ = 0;
    bool active_ = false;
    std::vector<float> ports_;    // the controls' values, one per parameter
    std::vector<float> scratch_;  // four blocks of floats: double precision through float ports
    int32_t optionMinBlock_ = 0;
    int32_t optionMaxBlock_ = 0;
    std::vector<LV2_Options_Option> options_;

    LV2UI_Handle ui_ = nullptr;
    const LV2UI_Idle_Interface* uiIdle_ = nullptr;
    void* uiParent_ = nullptr;
    LV2UI_Touch touch_{};
    LV2UI_Resize resize_{};
    bool probing_ = false;  // a UI made only to learn its size, in a ProbeWindow
    HostRecord record_;
};

class Lv2Module : public PluginModule {
public:
    // The bundle folder at path, its binary loaded.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
    // The bundle's description with the descriptors of a binary linked into this program, as the
    // fuzz targets link the effect; null, with the reason in error, when the description fails.
    static std::unique_ptr<Lv2Module> Linked(const std::string& path,
                                             LV2_Descriptor_Function plugin,
                                             LV2UI_DescriptorFunction ui, std::string* error);

    const char* FormatName() const override { return "LV2"; }
    DamagedState TakesDamagedState() const override { return DamagedState::kRefused; }
    std::unique_ptr<PluginInstance> CreateInstance() override;

    const Lv2Description& Description() const { return description_; }
    const LV2_Descriptor* PluginDescriptor() const { return plugin_; }
    const LV2UI_Descriptor* UiDescriptor() const { return ui_; }
    // urid:map for the instances: one number per URI, the same for every instance.
    const LV2_Feature* UridMapFeature() const { return &uridMapFeature_; }
    uint32_t Map(const char* uri);
    // The UI's size, once a UI of this module told it (it keeps a fixed size).
    bool UiSize(int* width, int* height);
    void SetUiSize(int width, int height);

private:
    Lv2Module();
    bool Bind(LV2_Descriptor_Function plugin, LV2UI_DescriptorFunction ui, std::string* error);
    static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);

    Lv2Description description_;
    std::unique_ptr<SharedLibrary> binary_;
    std::unique_ptr<SharedLibrary> uiBinary_;
    const LV2_Descriptor* plugin_ = nullptr;
    const LV2UI_Descriptor* ui_ = nullptr;

    std::mutex mutex_;
    std::vector<std::string> uris_;
    int uiWidth_ = 0;
    int uiHeight_ = 0;
    LV2_URID_Map uridMap_{};
    LV2_Feature uridMapFeature_{};
};

}  // namespace host
