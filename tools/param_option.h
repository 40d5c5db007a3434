// "--param NAME=VALUE" as the tools and orv-q12 read it: a parameter named in any case, set from
// its plain value as typed text through the plug-in's own parsing, with a warning when a number
// lies outside the range the parameter shows at its ends.
#pragma once

#include <string>
#include <vector>

struct ParamOption {
    std::string name;
    std::string value;
};

// Splits the option's text at its first '='; empty on success, else the error.
std::string ParseParamOption(const char* text, ParamOption* option);

// The index of name among the parameters' names, in any case; -1 with the error naming them all.
int FindParamByName(const std::vector<std::string>& names, const std::string& name,
                    std::string* error);

// A display text with the parameter's unit, unless the unit only repeats the name.
std::string DisplayWithLabel(const std::string& display, const std::string& label,
                             const std::string& name);

// The warning (after the program's name) when value is a number outside lowest .. highest, the
// display texts at the range's ends; `shown` is what the parameter displays once set. Empty when
// there is nothing to warn of.
std::string OutOfRangeWarning(const std::string& name, const std::string& value,
                              const std::string& lowest, const std::string& highest,
                              const std::string& shown);
