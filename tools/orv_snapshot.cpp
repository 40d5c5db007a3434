// orv-snapshot: draws the ORV Q12 panel as a window would show it, after optional parameter
// settings and gestures, and writes it as a PNG.
//   orv-snapshot OUT.png [--param NAME=VALUE]... [--drag X,Y,DX,DY] [--click X,Y]
//                [--rclick X,Y] [--dblclick X,Y] [--wheel X,Y,N]
//                [--type X,Y,TEXT] [--scale S]
// --scale draws the panel as a display at that factor shows it (1.5 for 150%); the gestures'
// positions stay in panel units (300 x 350) whatever the scale. The plug-in is built with the
// offscreen editor; gestures go through the same entry points a window's messages reach, in the
// order given, with a redraw tick after each.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "raster/png_writer.h"

using namespace vst2;

namespace {

struct Gesture {
    std::string kind;  // "drag", "click", "rclick", "dblclick", "wheel", "type"
    int numbers[4] = {0, 0, 0, 0};
    std::string text;
};

struct Options {
    std::string output;
    std::vector<std::pair<std::string, std::string>> params;
    std::vector<Gesture> gestures;
    double scale = 1.0;
};

const char kUsage[] =
    "usage: orv-snapshot OUT.png [--param NAME=VALUE]... [--drag X,Y,DX,DY] [--click X,Y]\n"
    "                    [--rclick X,Y] [--dblclick X,Y] [--wheel X,Y,N] [--type X,Y,TEXT]\n"
    "                    [--scale S]\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "orv-snapshot: %s\n", message.c_str());
    return 1;
}

// Reads `count` comma-separated integers from the front of text; the rest, after one more
// comma, goes to rest when it is wanted.
bool ReadNumbers(const char* text, int count, int* numbers, std::string* rest) {
    const char* at = text;
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        const long n = std::strtol(at, &end, 10);
        if (end == at || n < -100000 || n > 100000) return false;
        numbers[i] = static_cast<int>(n);
        const bool last = i + 1 == count;
        if (last && rest == nullptr) return *end == '\0';
        if (*end != ',') return false;
        at = end + 1;
    }
    *rest = at;
    return true;
}

std::string ParseArguments(int argc, char** argv, Options& options) {
    struct Shape {
        const char* option;
        int numbers;
        bool text;
        const char* form;
    };
    static const Shape kGestures[] = {
        {"--drag", 4, false, "X,Y,DX,DY"}, {"--click", 2, false, "X,Y"},
        {"--rclick", 2, false, "X,Y"},     {"--dblclick", 2, false, "X,Y"},
        {"--wheel", 3, false, "X,Y,N"},    {"--type", 2, true, "X,Y,TEXT"},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return "help";
        const Shape* shape = nullptr;
        for (const Shape& s : kGestures) {
            if (arg == s.option) shape = &s;
        }
        if (arg == "--scale") {
            if (i + 1 >= argc) return arg + " needs a value";
            const char* v = argv[++i];
            char* end = nullptr;
            options.scale = std::strtod(v, &end);
            static_assert(PanelScale::kMinPercent == 50 && PanelScale::kMaxPercent == 400);
            const double lowest = 0.5;
            const double highest = 4.0;
            if (end == v || *end != '\0' ||
                !(options.scale >= lowest && options.scale <= highest)) {
                return "--scale takes a factor from 0.5 to 4, not '" + std::string(v) + "'";
            }
            continue;
        }
        if (shape != nullptr || arg == "--param") {
            if (i + 1 >= argc) return arg + " needs a value";
            const char* v = argv[++i];
            if (shape == nullptr) {
                const char* equals = std::strchr(v, '=');
                if (equals == nullptr || equals == v)
                    return "--param takes NAME=VALUE, not '" + std::string(v) + "'";
                options.params.emplace_back(std::string(v, equals), std::string(equals + 1));
                continue;
            }
            Gesture gesture;
            gesture.kind = arg.substr(2);
            if (!ReadNumbers(v, shape->numbers, gesture.numbers,
                             shape->text ? &gesture.text : nullptr)) {
                return arg + " takes " + shape->form + ", not '" + v + "'";
            }
            options.gestures.push_back(gesture);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (options.output.empty()) {
            options.output = arg;
        } else {
            return "expected one OUT.png";
        }
    }
    if (options.output.empty()) return "expected OUT.png";
    return "";
}

// The index of the parameter whose name matches, any case, or -1.
int FindParameter(ORV_Q12& fx, const std::string& name, std::string* known) {
    for (int i = 0; i < fx.ParamCount(); ++i) {
        if (strcasecmp(fx.Param(i)->name, name.c_str()) == 0) return i;
        *known += (i > 0 ? ", " : "") + std::string(fx.Param(i)->name);
    }
    return -1;
}

void Replay(HeadlessEditor& editor, const Gesture& g) {
    const PanelScale& scale = editor.Scale();
    const int x = scale.FirstPixelOf(g.numbers[0]);
    const int y = scale.FirstPixelOf(g.numbers[1]);
    if (g.kind == "drag") {
        // One pixel at a time along the longer axis, as a mouse reports a movement.
        const int dx = scale.FirstPixelOf(g.numbers[0] + g.numbers[2]) - x;
        const int dy = scale.FirstPixelOf(g.numbers[1] + g.numbers[3]) - y;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        editor.Press(x, y);
        for (int s = 1; s <= steps; ++s) editor.Move(x + dx * s / steps, y + dy * s / steps);
        editor.Release(x + dx, y + dy);
    } else if (g.kind == "click") {
        editor.Press(x, y);
        editor.Release(x, y);
    } else if (g.kind == "rclick") {
        editor.Press(x, y, MouseButton::Right);
        editor.Release(x, y, MouseButton::Right);
    } else if (g.kind == "dblclick") {
        editor.Press(x, y);
        editor.Release(x, y);
        editor.DoubleClick(x, y);
        editor.Release(x, y);
    } else if (g.kind == "wheel") {
        editor.Wheel(x, y, g.numbers[2]);
    } else if (g.kind == "type") {
        editor.Press(x, y, MouseButton::Right);
        editor.Release(x, y, MouseButton::Right);
        editor.TypeText(g.text.c_str());
        editor.PressKey(13);  // Enter
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::string error = ParseArguments(argc, argv, options);
    if (error == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fputs(kUsage, stderr);
        return Fail(error);
    }

    ORV_Q12 fx(nullptr, &HeadlessEditor::Create);
    fx.Effect()->dispatcher(fx.Effect(), effOpen, 0, 0, nullptr, 0.0f);
    auto* editor = static_cast<HeadlessEditor*>(fx.AttachedEditor());
    if (!editor->SetScale(PanelScale::FromFactor(options.scale))) {
        return Fail("no memory for the panel at that scale");
    }
    for (const auto& [name, value] : options.params) {
        std::string known;
        const int index = FindParameter(fx, name, &known);
        if (index < 0) return Fail("unknown parameter '" + name + "' (parameters: " + known + ")");
        fx.Effect()->dispatcher(fx.Effect(), effString2Parameter, index, 0,
                                const_cast<char*>(value.c_str()), 0.0f);
    }

    // The window's first paint, then each gesture followed by a timer tick, then ticks until
    // every changed control has had its two redraws.
    editor->Tick();
    for (const Gesture& gesture : options.gestures) {
        Replay(*editor, gesture);
        editor->Tick();
    }
    for (int i = 0; i < 4; ++i) editor->Tick();

    if (!WritePngFile(options.output.c_str(), *editor->FrameBuffer())) {
        return Fail("cannot write " + options.output);
    }
    return 0;
}
