// Finds a resource compiled into a module by its integer id and type name (the panel images are
// id 100..106 of type "PNG"). On Windows the module is an HINSTANCE and the resources come from
// the .rc file; on Linux the images are byte arrays linked into the module and the handle is not
// consulted. The bytes belong to the module image: never freed, valid while it stays loaded.
#pragma once

struct ResourceBytes {
    const unsigned char* data = nullptr;  // null when there is no such resource
    int size = 0;
};

ResourceBytes FindModuleResource(void* module, int id, const char* type);
