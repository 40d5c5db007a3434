// Loads installed plug-in modules as a host does, for the installer's test under Wine.
//   installed_module_probe load PATH...  each module loads and makes an instance; prints
//                                        "PATH: NAME VERSION" for each, exit status 1 if any fails
//   installed_module_probe hold PATH     loads the module and makes an instance, prints "held",
//                                        and keeps both until its standard input closes, as a
//                                        running host keeps a plug-in
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "host/plugin_host.h"

namespace {

struct Loaded {
    std::unique_ptr<host::PluginModule> module;
    std::unique_ptr<host::PluginInstance> instance;
};

bool Load(const std::string& path, Loaded* loaded) {
    std::string error;
    loaded->module = host::LoadPlugin(path, &error);
    if (!loaded->module) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    loaded->instance = loaded->module->CreateInstance();
    if (!loaded->instance) {
        std::fprintf(stderr, "%s: loaded, but made no instance\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "load") == 0) {
        int failed = 0;
        for (int i = 2; i < argc; ++i) {
            Loaded loaded;
            if (!Load(argv[i], &loaded)) {
                ++failed;
                continue;
            }
            std::printf("%s: %s %s\n", argv[i], loaded.instance->Name().c_str(),
                        loaded.instance->Version().c_str());
        }
        return failed == 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        Loaded loaded;
        if (!Load(argv[2], &loaded)) return 1;
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    std::fprintf(stderr, "usage: installed_module_probe load PATH... | hold PATH\n");
    return 2;
}
