// The file in which orv-q12 keeps its settings between runs: the plug-in's program state, the
// very bytes a host keeps as its state chunk. It is read strictly at start (anything but one
// whole state is refused, nothing changed) and written whole at the end: to a new file in the
// same folder, synced, then renamed over the old one, so that a crash at any moment leaves the
// old state or the new one, never a part of either.
// Threads: the program's main thread.
#pragma once

#include <string>
#include <utility>

#include "plugin/plugin_base.h"

class StateFile {
public:
    enum class Load { kLoaded, kMissing, kDamaged, kUnreadable };

    explicit StateFile(std::string path) : path_(std::move(path)) {}

    // $XDG_CONFIG_HOME/orv-q12/state, or ~/.config/orv-q12/state when that variable names no
    // absolute folder; empty when neither variable does.
    static std::string DefaultPath();

    const std::string& Path() const { return path_; }

    // Loads the file into the plug-in. kMissing when there is none yet; kDamaged or kUnreadable,
    // with the reason in problem and the plug-in as it was, otherwise.
    Load LoadInto(PluginBase& plug, std::string* problem) const;
    // Saves the plug-in's state, making the folder when there is none; false with the reason.
    bool SaveFrom(PluginBase& plug, std::string* problem) const;

private:
    std::string path_;
};
