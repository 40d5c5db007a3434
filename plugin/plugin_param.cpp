#include "plugin/plugin_param.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "plugin/text_copy.h"

namespace {

// v truncated toward zero as an int; values outside int range (and NaN) saturate instead of
// being undefined.
int TruncateToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the decimal number at text: optional sign, digits with an optional decimal point,
// an optional exponent. 0 when there is no digit.
std::size_t DecimalNumberLength(const char* text) {
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    std::size_t digits = 0;
    while (IsDigit(text[i])) ++i, ++digits;
    if (text[i] == '.') {
        ++i;
        while (IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (text[i] == 'e' || text[i] == 'E') {
        std::size_t j = i + 1;
        if (text[j] == '+' || text[j] == '-') ++j;
        if (IsDigit(text[j])) {
            while (IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

// The power of ten of the leading significant digit of a number of `length` characters that
// is not 0: enough to tell a number too large for a double from one too small. The exponent
// saturates far beyond either limit.
long DecimalMagnitude(const char* number, std::size_t length) {
    std::size_t i = number[0] == '+' || number[0] == '-' ? 1 : 0;
    long integerDigits = 0;  // from the first one that is not 0
    for (; i < length && IsDigit(number[i]); ++i) {
        if (integerDigits > 0 || number[i] != '0') ++integerDigits;
    }
    long magnitude = integerDigits - 1;
    if (integerDigits == 0 && i < length && number[i] == '.') {
        for (++i; i < length && IsDigit(number[i]); ++i) {
            if (number[i] != '0') break;
            --magnitude;
        }
    }
    while (i < length && number[i] != 'e' && number[i] != 'E') ++i;
    if (i + 1 < length) {
        long exponent = 0;
        for (std::size_t j = i + 1; j < length; ++j) {
            if (IsDigit(number[j]) && exponent < 100000)
                exponent = exponent * 10 + (number[j] - '0');
        }
        magnitude += number[i + 1] == '-' ? -exponent : exponent;
    }
    return magnitude;
}

// The leading decimal number of text, 0 when there is none; independent of the C locale,
// which a host may have changed.
double ParseLeadingNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const std::size_t length = DecimalNumberLength(text);
    if (length == 0) return 0.0;
    const char* start = text[0] == '+' ? text + 1 : text;
    double v = 0.0;
    const auto result = std::from_chars(start, text + length, v);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range means too close to 0 or too far from it, never infinite.
        const bool tiny = DecimalMagnitude(text, length) < 0;
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::max();
        return start[0] == '-' ? -magnitude : magnitude;
    }
    return v;
}

}  // namespace

void PluginParam::InitParam(const char* paramName, double defaultVal, double minimum,
                            double maximum, double stepSize, const char* unitLabel,
                            double shapeExponent) {
    if (type == ParamType::Unset) type = ParamType::Continuous;
    CopyText(name, sizeof(name), paramName);
    CopyText(label, sizeof(label), unitLabel);
    min = minimum;
    value = defaultVal;
    max = minimum + stepSize > maximum ? minimum + stepSize : maximum;
    step = stepSize;
    defaultValue = defaultVal;

    displayPrecision = 0;
    double s = stepSize;
    while (std::floor(s) != s && displayPrecision < 6) {
        ++displayPrecision;
        s *= 10;
    }
    if (shapeExponent != 0) shape = shapeExponent;
}

bool PluginParam::AddDisplayText(std::int32_t textValue, const char* text) {
    const int count = DisplayTextCount();
    if (!displayTexts_.Resize((count + 1) * static_cast<std::int32_t>(sizeof(DisplayText)),
                              false)) {
        return false;
    }
    DisplayText entry{};
    entry.value = textValue;
    CopyText(entry.text, sizeof(entry.text), text);
    std::memcpy(displayTexts_.Data() + count * sizeof(DisplayText), &entry, sizeof(entry));
    return true;
}

int PluginParam::DisplayTextCount() const {
    return displayTexts_.Size() / static_cast<int>(sizeof(DisplayText));
}

const DisplayText* PluginParam::DisplayTextAt(int i) const {
    if (i < 0 || i >= DisplayTextCount()) return nullptr;
    return reinterpret_cast<const DisplayText*>(displayTexts_.Data()) + i;
}

double PluginParam::ValueFromNormalized(double x) const {
    return std::pow(x, shape) * (max - min) + min;
}

void PluginParam::ApplyNormalized(double x) {
    double v = ValueFromNormalized(x);
    // A value that is not finite would latch the effect; the parameter keeps its value.
    if (!std::isfinite(v)) return;
    if (type != ParamType::Continuous) v = std::floor(v / step + 0.5) * step;
    value = v < max ? v : max;
}

double PluginParam::NormalizedValue() const { return NormalizedValueOf(value); }

double PluginParam::NormalizedValueOf(double v) const {
    return std::pow((Clamped(v) - min) / (max - min), 1 / shape);
}

const char* PluginParam::DisplayTextFor(double v) const {
    const int key = TruncateToInt(v);
    for (int i = 0; i < DisplayTextCount(); ++i) {
        const DisplayText* entry = DisplayTextAt(i);
        if (entry->value == key) return entry->text[0] != '\0' ? entry->text : nullptr;
    }
    return nullptr;
}

void PluginParam::FormatValueOf(double v, bool isNormalized, char* out, std::size_t outSize,
                                bool useDisplayTexts) const {
    if (out == nullptr || outSize == 0) return;
    if (isNormalized) v = ValueFromNormalized(v);
    if (useDisplayTexts) {
        if (const char* text = DisplayTextFor(v)) {
            CopyText(out, outSize, text);
            return;
        }
    }
    if (negateDisplay) v = -v;
    char text[384];
    if (displayPrecision > 0) {
        std::snprintf(text, sizeof(text), "%.*f", static_cast<int>(displayPrecision), v);
    } else {
        std::snprintf(text, sizeof(text), "%d", TruncateToInt(v));
    }
    CopyText(out, outSize, text);
}

void PluginParam::FormatValue(char* out, std::size_t outSize) const {
    FormatValueOf(value, false, out, outSize, true);
}

const char* PluginParam::HostLabel() const { return DisplayTextFor(value) ? "" : label; }

bool PluginParam::ValueFromText(const char* text, double* result) const {
    if (text == nullptr || result == nullptr) return false;
    if (DisplayTextCount() > 0) {
        for (int i = 0; i < DisplayTextCount(); ++i) {
            const DisplayText* entry = DisplayTextAt(i);
            if (std::strcmp(entry->text, text) == 0) {
                *result = entry->value;
                return true;
            }
        }
        return false;
    }
    *result = ValueFromNumberText(text);
    return true;
}

double PluginParam::ValueFromNumberText(const char* text) const {
    const double v = ParseLeadingNumber(text);
    return negateDisplay ? -v : v;
}
