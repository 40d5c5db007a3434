#include "host/lv2_description.h"

#include <lilv/lilv.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <memory>

namespace host {

namespace {

// What this host gives a plug-in and its UI (lv2_plugin_host.cpp).
const char* const kPluginFeatures[] = {LV2_URID__map, LV2_OPTIONS__options,
                                       LV2_BUF_SIZE__boundedBlockLength};
const char* const kUiFeatures[] = {LV2_INSTANCE_ACCESS_URI, LV2_UI__parent, LV2_UI__idleInterface,
                                   LV2_UI__resize,          LV2_UI__touch,  LV2_UI__fixedSize,
                                   LV2_UI__noUserResize,    LV2_URID__map};

template <std::size_t n>
bool Supports(const char* const (&features)[n], const std::string& uri) {
    return std::any_of(std::begin(features), std::end(features),
                       [&](const char* f) { return uri == f; });
}

// The lilv objects this reading makes, freed in reverse order of making.
class Reader {
public:
    Reader() : world_(lilv_world_new()) {}
    ~Reader() {
        for (auto it = nodes_.rbegin(); it != nodes_.rend(); ++it) lilv_node_free(*it);
        lilv_world_free(world_);
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    LilvWorld* World() const { return world_; }
    // A URI node that lives as long as the reader.
    const LilvNode* Uri(const char* uri) { return Keep(lilv_new_uri(world_, uri)); }
    const LilvNode* Keep(LilvNode* node) {
        if (node != nullptr) nodes_.push_back(node);
        return node;
    }
    // The text of the first object of (subject, predicate), "" without one.
    std::string Text(const LilvNode* subject, const char* predicate) {
        const LilvNode* object = Keep(lilv_world_get(world_, subject, Uri(predicate), nullptr));
        return object != nullptr ? lilv_node_as_string(object) : "";
    }

private:
    LilvWorld* world_;
    std::vector<LilvNode*> nodes_;
};

std::string Text(LilvNode* node) {
    std::string text = node != nullptr ? lilv_node_as_string(node) : "";
    lilv_node_free(node);
    return text;
}

std::string FilePath(const LilvNode* uri) {
    if (uri == nullptr) return "";
    char* path = lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr);
    std::string text = path != nullptr ? path : "";
    lilv_free(path);
    return text;
}

// A literal's number from its text, as written: lilv's floats would round 0.0001.
double Number(LilvNode* node, double fallback) {
    double v = fallback;
    if (node != nullptr) {
        const char* text = lilv_node_as_string(node);
        std::from_chars(text, text + std::strlen(text), v);
    }
    lilv_node_free(node);
    return v;
}

Lv2Control ReadControl(Reader& r, const LilvPlugin* plugin, const LilvPort* port, unsigned index) {
    Lv2Control c;
    c.port = index;
    c.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
    c.name = Text(lilv_port_get_name(plugin, port));
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, port, &def, &min, &max);
    c.minimum = Number(min, 0);
    c.maximum = Number(max, 1);
    c.defaultValue = Number(def, c.minimum);
    c.integer = lilv_port_has_property(plugin, port, r.Uri(LV2_CORE__integer)) ||
                lilv_port_has_property(plugin, port, r.Uri(LV2_CORE__toggled));
    c.render = "%f";
    LilvNodes* units = lilv_port_get_value(plugin, port, r.Uri(LV2_UNITS__unit));
    if (units != nullptr && lilv_nodes_size(units) > 0) {
        const LilvNode* unit = lilv_nodes_get(units, lilv_nodes_begin(units));
        const std::string render = r.Text(unit, LV2_UNITS__render);
        if (IsSafeRenderFormat(render)) c.render = render;
        c.symbolText = r.Text(unit, LV2_UNITS__symbol);
    }
    lilv_nodes_free(units);
    return c;
}

// The first X11 UI whose every required feature this host has.
void ReadUi(Reader& r, const LilvPlugin* plugin, Lv2Description* d) {
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    LILV_FOREACH(uis, i, uis) {
        const LilvUI* ui = lilv_uis_get(uis, i);
        if (!lilv_ui_is_a(ui, r.Uri(LV2_UI__X11UI))) continue;
        LilvNodes* required = lilv_world_find_nodes(r.World(), lilv_ui_get_uri(ui),
                                                    r.Uri(LV2_CORE__requiredFeature), nullptr);
        bool usable = true;
        LILV_FOREACH(nodes, f, required) {
            usable = usable && Supports(kUiFeatures, lilv_node_as_uri(lilv_nodes_get(required, f)));
        }
        lilv_nodes_free(required);
        if (!usable) continue;
        d->uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
        d->uiBinary = FilePath(lilv_ui_get_binary_uri(ui));
        break;
    }
    lilv_uis_free(uis);
}

}  // namespace

bool IsSafeRenderFormat(const std::string& format) {
    int conversions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i]) != nullptr) ++i;
        while (i < format.size() &&
               (std::isdigit(static_cast<unsigned char>(format[i])) || format[i] == '.')) {
            ++i;
        }
        if (i >= format.size() || std::strchr("fFeEgG", format[i]) == nullptr) return false;
        ++conversions;
    }
    return conversions == 1;
}

bool ReadLv2Description(const std::string& path, Lv2Description* d, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error != nullptr) *error = path + ": " + reason;
        return false;
    };
    d->bundle = path.empty() || path.back() == '/' ? path : path + "/";
    Reader r;
    const LilvNode* bundle = r.Keep(lilv_new_file_uri(r.World(), nullptr, d->bundle.c_str()));
    if (bundle == nullptr) return fail("not a bundle folder");
    lilv_world_load_bundle(r.World(), bundle);
    const LilvPlugins* plugins = lilv_world_get_all_plugins(r.World());
    LilvIter* first = lilv_plugins_begin(plugins);
    if (lilv_plugins_is_end(plugins, first)) return fail("the bundle describes no plug-in");
    const LilvPlugin* plugin = lilv_plugins_get(plugins, first);
    if (!lilv_plugin_verify(plugin)) return fail("the plug-in's description is incomplete");

    const LilvNode* uri = lilv_plugin_get_uri(plugin);
    d->uri = lilv_node_as_uri(uri);
    d->name = Text(lilv_plugin_get_name(plugin));
    d->vendor = Text(lilv_plugin_get_author_name(plugin));
    const LilvNode* release = r.Keep(
        lilv_world_get(r.World(), uri, r.Uri("http://usefulinc.com/ns/doap#release"), nullptr));
    if (release != nullptr) d->version = r.Text(release, "http://usefulinc.com/ns/doap#revision");
    d->binary = FilePath(lilv_plugin_get_library_uri(plugin));

    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    LILV_FOREACH(nodes, f, required)
    d->requiredFeatures.push_back(lilv_node_as_uri(lilv_nodes_get(required, f)));
    lilv_nodes_free(required);
    for (const std::string& feature : d->requiredFeatures) {
        if (!Supports(kPluginFeatures, feature)) return fail("the plug-in needs " + feature);
    }

    d->portCount = lilv_plugin_get_num_ports(plugin);
    const LilvNode* input = r.Uri(LV2_CORE__InputPort);
    const LilvNode* audio = r.Uri(LV2_CORE__AudioPort);
    const LilvNode* control = r.Uri(LV2_CORE__ControlPort);
    for (unsigned i = 0; i < d->portCount; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        const bool isInput = lilv_port_is_a(plugin, port, input);
        if (lilv_port_is_a(plugin, port, audio)) {
            (isInput ? d->audioInputs : d->audioOutputs).push_back(i);
        } else if (isInput && lilv_port_is_a(plugin, port, control)) {
            d->controls.push_back(ReadControl(r, plugin, port, i));
        } else {
            return fail("port " + std::to_string(i) + " is of a kind this host does not connect");
        }
    }
    ReadUi(r, plugin, d);
    return true;
}

}  // namespace host
