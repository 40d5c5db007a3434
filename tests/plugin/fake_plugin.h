// A plug-in object with the host side stubbed out: it records automation and parameter
// changes so framework behaviour can be observed without a host.
#pragma once

#include <vector>

#include "plugin/plugin_base.h"

class FakePlugin : public PluginBase {
public:
    static PluginConstants Constants(const char* channels = "1-1 2-2", int params = 3,
                                     int presets = 1) {
        return {params, channels, presets, "Fake", "", "Maker", 0x41424344, 0x414243, 0x00010203};
    }

    explicit FakePlugin(const PluginConstants& constants = Constants()) : PluginBase(constants) {
        for (int i = 0; i < ParamCount(); ++i) {
            Param(i)->InitParam("p", 0.5, 0, 1, 0.001, "", 1);
        }
    }

    void ParamChanged(int index) override { changed.push_back(index); }
    void AutomateParam(int index, double normalized) override {
        automated.push_back({index, normalized});
    }

    void BeginParamEdit(int) override {}
    void EndParamEdit(int) override {}
    void ReportPresetChange() override {}
    std::int32_t GetSamplePosition() override { return 0; }
    double GetTempo() override { return 120; }
    void GetTimeSignature(std::int32_t*, std::int32_t*) override {}
    void GetTransportInfo(TransportInfo&) override {}
    void ResizeEditor(int, int) override {}
    bool SendMidiMessage(const MidiMessage&) override { return false; }

    struct Automation {
        int index;
        double value;
    };
    std::vector<int> changed;
    std::vector<Automation> automated;
};
