// What an LV2 host reads about a plug-in before it loads any code: its bundle's description
// (manifest.ttl and the files it names), read with lilv from that bundle alone, so that no other
// bundle on the machine is read. The plug-in's identity, its ports, each control's range, default,
// properties and unit, and its X11 UI, with the features both need.
#pragma once

#include <string>
#include <vector>

namespace host {

struct Lv2Control {
    unsigned port = 0;
    std::string symbol;
    std::string name;
    double minimum = 0;
    double maximum = 1;
    double defaultValue = 0;
    bool integer = false;    // lv2:integer or lv2:toggled: the host rounds to whole numbers
    std::string render;      // the unit's printf format for a value, "%f" without one
    std::string symbolText;  // the unit's symbol, shown after the value
};

struct Lv2Description {
    std::string bundle;  // the bundle's folder, with its final '/'
    std::string uri;
    std::string name;
    std::string vendor;
    std::string version;  // doap:release's doap:revision
    std::string binary;   // the plug-in binary's path
    unsigned portCount = 0;
    std::vector<unsigned> audioInputs;
    std::vector<unsigned> audioOutputs;
    std::vector<Lv2Control> controls;  // the control inputs, in port order: the parameters
    std::vector<std::string> requiredFeatures;
    // The first ui:X11UI whose required features this host has; empty uiUri when none.
    std::string uiUri;
    std::string uiBinary;
};

// Reads the bundle at path; false, with a one-line reason in error, when it holds no plug-in.
bool ReadLv2Description(const std::string& path, Lv2Description* description, std::string* error);

// The printf format of a unit, when it formats one double with %f, %e or %g and nothing else
// that reads an argument; hosts must not pass a bundle's text to printf unchecked.
bool IsSafeRenderFormat(const std::string& format);

}  // namespace host
