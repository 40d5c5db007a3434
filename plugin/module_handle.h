// The handle of the module (DLL or shared object) that contains this code: resources are
// looked up in it. On Windows it is the module's HINSTANCE; elsewhere an opaque non-null token.
#pragma once

using ModuleHandle = void*;

ModuleHandle ThisModule();
