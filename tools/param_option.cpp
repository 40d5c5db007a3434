#include "tools/param_option.h"

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// The whole text as a number; false for anything else, such as a display text like "On".
bool ParseNumber(const std::string& text, double* number) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *number = std::strtod(text.c_str(), &end);
    while (*end == ' ') ++end;
    return *end == '\0' && end != text.c_str() && errno != ERANGE;
}

}  // namespace

std::string ParseParamOption(const char* text, ParamOption* option) {
    const char* equals = std::strchr(text, '=');
    if (equals == nullptr || equals == text)
        return "--param takes NAME=VALUE, not '" + std::string(text) + "'";
    option->name.assign(text, equals);
    option->value.assign(equals + 1);
    return "";
}

int FindParamByName(const std::vector<std::string>& names, const std::string& name,
                    std::string* error) {
    std::string known;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (strcasecmp(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
        known += (i > 0 ? ", " : "") + names[i];
    }
    *error = "unknown parameter '" + name + "' (parameters: " + known + ")";
    return -1;
}

std::string DisplayWithLabel(const std::string& display, const std::string& label,
                             const std::string& name) {
    if (label.empty() || label == name) return display;
    return display + " " + label;
}

std::string OutOfRangeWarning(const std::string& name, const std::string& value,
                              const std::string& lowest, const std::string& highest,
                              const std::string& shown) {
    double requested, low, high;
    if (!ParseNumber(value, &requested) || !ParseNumber(lowest, &low) ||
        !ParseNumber(highest, &high)) {
        return "";
    }
    if (low > high) std::swap(low, high);
    if (requested >= low && requested <= high) return "";
    return "warning: " + name + "=" + value + " lies outside " + lowest + " .. " + highest +
           "; clamped to " + shown;
}
