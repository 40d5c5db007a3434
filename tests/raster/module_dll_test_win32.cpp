// The built ORV_Q12.dll carries the six panel images as resources of type "PNG", and they decode
// through its module handle to their exact sizes.
#include "raster/png_loader.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// ORV_MODULE_RELATIVE_PATH: the DLL relative to this program's folder, set by the build.
std::string ModulePath() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program);
    folder.resize(folder.find_last_of("\\/") + 1);
    return folder + ORV_MODULE_RELATIVE_PATH;
}

TEST(ModuleDll, CarriesEveryPanelImage) {
    HMODULE module = LoadLibraryExA(ModulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << ModulePath();
    const int images[][3] = {{100, 300, 350}, {101, 95, 7695}, {103, 45, 90},
                             {105, 32, 64},   {106, 184, 808}, {107, 17, 34}};
    for (const auto& image : images) {
        auto bitmap = LoadPngResource(module, image[0]);
        ASSERT_NE(bitmap, nullptr) << image[0];
        EXPECT_EQ(bitmap->Width(), image[1]) << image[0];
        EXPECT_EQ(bitmap->Height(), image[2]) << image[0];
    }
    EXPECT_EQ(LoadPngResource(module, 102), nullptr);
    FreeLibrary(module);
}

}  // namespace
