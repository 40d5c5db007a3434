// The DLL links its C++ runtime statically, so every load of it sets up a copy of the runtime,
// and the runtime's emergency exception pool (some 70 KB) is never given back on Windows: a host
// that loads the DLL again and again would lose it each time. Compiled into the DLL itself.

namespace __gnu_cxx {
// libstdc++'s own release of the pool (the one glibc calls at exit; nothing does on Windows).
void __freeres() noexcept;
}  // namespace __gnu_cxx

namespace {

// Process-wide: made when the DLL loads, destroyed when it unloads, with the runtime it frees.
struct RuntimeRelease {
    ~RuntimeRelease() { __gnu_cxx::__freeres(); }
} gRuntimeRelease;

}  // namespace
