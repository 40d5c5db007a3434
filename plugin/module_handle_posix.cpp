#include "plugin/module_handle.h"

// Images are compiled into the module itself, so any non-null token names "this module".
ModuleHandle ThisModule() {
    static char token;
    return &token;
}
