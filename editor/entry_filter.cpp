#include "editor/entry_filter.h"

#include "plugin/plugin_param.h"

bool EntryTakesCharacter(const PluginParam* param, char c) {
    if (param == nullptr || c == '\b') return true;
    const bool sign = c == '+' || c == '-';
    const bool digit = c >= '0' && c <= '9';
    switch (param->type) {
        case ParamType::Stepped: return sign || digit;
        case ParamType::Continuous: return sign || digit || c == '.';
        default: return true;
    }
}
