// The entry and exit functions a Windows host calls right after loading the DLL and before
// freeing it. The module keeps nothing to set up.
extern "C" ORV_EXPORT bool InitDll() { return true; }
extern "C" ORV_EXPORT bool ExitDll() { return true; }
