// fontconfig loses a block while parsing the system's configuration files, once per process, out
// of the project's reach; the leak checker of the sanitizer build is told to ignore only that.
// Visible by default so that the sanitizer runtime finds it in the test program.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
