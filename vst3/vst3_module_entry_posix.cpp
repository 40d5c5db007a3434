// The entry and exit functions a Linux host calls right after loading the module and before
// unloading it; it rejects a module without them. The module keeps nothing to set up.
extern "C" ORV_EXPORT bool ModuleEntry(void* /*moduleHandle*/) { return true; }
extern "C" ORV_EXPORT bool ModuleExit() { return true; }
