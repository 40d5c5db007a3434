#include "host/plugin_formats.h"

namespace host {

namespace {

// Asked in this order; the first format that takes the path loads it.
const PluginFormat* const kFormats[] = {
    &kClapFormat,
    &kLv2Format,
    &kVst3Format,
    &kVst2Format,
};

}  // namespace

std::unique_ptr<PluginModule> LoadPlugin(const std::string& path, std::string* error) {
    for (const PluginFormat* format : kFormats) {
        if (format->takesPath(path)) return format->load(path, error);
    }
    if (error != nullptr) *error = "no plug-in format takes " + path;
    return nullptr;
}

void HostRecord::Add(const HostEvent& event) {
    std::lock_guard<std::mutex> guard(mutex_);
    events_.push_back(event);
}

std::vector<HostEvent> HostRecord::Events() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return events_;
}

void HostRecord::Clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    events_.clear();
}

}  // namespace host
