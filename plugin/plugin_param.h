// One automatable parameter: its value in plain units, its range, step, taper and texts. The
// host and the editor see values normalised to 0..1. The record has no lock of its own: every
// access happens under the plug-in lock of the object that owns the parameter list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/heap_buffer.h"

enum class ParamType : std::int32_t { Unset = 0, Stepped = 2, Continuous = 4 };

// A text shown instead of the number for one integer value.
struct DisplayText {
    std::int32_t value;
    char text[32];
};

class PluginParam {
public:
    PluginParam() : displayTexts_(sizeof(DisplayText) * 4) {}

    void InitParam(const char* name, double defaultValue, double min, double max, double step,
                   const char* label, double shape);
    // Appends a text for an integer value; false when memory is short.
    bool AddDisplayText(std::int32_t value, const char* text);

    // Sets value from x; a result that is not finite leaves the value as it was.
    void ApplyNormalized(double x);
    double NormalizedValue() const;
    // Any plain value clamped to the range and normalised as NormalizedValue does.
    double NormalizedValueOf(double v) const;
    double ValueFromNormalized(double x) const;

    // Formats the current value (display texts first) into out, cut to outSize with its NUL.
    void FormatValue(char* out, std::size_t outSize) const;
    void FormatValueOf(double v, bool isNormalized, char* out, std::size_t outSize,
                       bool useDisplayTexts) const;
    const char* HostLabel() const;
    // Parses a typed value; false when display texts exist and none matches. The result is
    // always finite: a number too small for a double reads as 0, one too large as the largest.
    bool ValueFromText(const char* text, double* value) const;
    // The text's leading decimal number (0 without one), negated when negateDisplay is set.
    double ValueFromNumberText(const char* text) const;

    double Clamped(double v) const { return v < min ? min : (v > max ? max : v); }
    int DisplayTextCount() const;
    const DisplayText* DisplayTextAt(int i) const;

    ParamType type = ParamType::Unset;
    double value = 0.0;
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    std::int32_t displayPrecision = 0;
    char name[32] = "";
    char label[32] = "";
    bool negateDisplay = false;

private:
    // The non-empty display text for v truncated toward zero, or null.
    const char* DisplayTextFor(double v) const;

    HeapBuffer displayTexts_;
};
