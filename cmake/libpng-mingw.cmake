# libpng for the Windows cross build: mingw-w64 has no libpng package, so the build compiles the
# core sources of Debian's own libpng1.6 source package, which scripts/install-deps.sh downloads
# into ORV_LIBPNG_SRC_DIR (default ~/.cache/orv/libpng). Defines the static library orv_png,
# linked with mingw's zlib. The sources are unpacked into the build tree once.
if(TARGET orv_png)
  return()
endif()

set(ORV_LIBPNG_SRC_DIR "$ENV{ORV_LIBPNG_SRC_DIR}" CACHE PATH
    "Folder holding Debian's libpng1.6 source tarball (libpng1.6_*.orig.tar.gz)")
if(NOT ORV_LIBPNG_SRC_DIR)
  set(ORV_LIBPNG_SRC_DIR "$ENV{HOME}/.cache/orv/libpng" CACHE PATH "" FORCE)
endif()
file(GLOB libpng_tarballs "${ORV_LIBPNG_SRC_DIR}/libpng1.6_*.orig.tar.*")
if(NOT libpng_tarballs)
  message(FATAL_ERROR "No libpng1.6_*.orig.tar.* in ${ORV_LIBPNG_SRC_DIR}: "
                      "run scripts/install-deps.sh (or set ORV_LIBPNG_SRC_DIR).")
endif()
list(SORT libpng_tarballs)
list(GET libpng_tarballs -1 libpng_tarball)

set(libpng_unpacked ${CMAKE_BINARY_DIR}/libpng-src)
set(libpng_stamp ${libpng_unpacked}/.unpacked-from)
set(libpng_previous "")
if(EXISTS ${libpng_stamp})
  file(READ ${libpng_stamp} libpng_previous)
endif()
if(NOT libpng_previous STREQUAL libpng_tarball)
  file(REMOVE_RECURSE ${libpng_unpacked})
  file(ARCHIVE_EXTRACT INPUT ${libpng_tarball} DESTINATION ${libpng_unpacked})
  file(WRITE ${libpng_stamp} ${libpng_tarball})
endif()
file(GLOB libpng_root LIST_DIRECTORIES true "${libpng_unpacked}/libpng-*")
if(NOT EXISTS "${libpng_root}/png.h")
  message(FATAL_ERROR "${libpng_tarball} did not unpack to a libpng source tree")
endif()
# The prebuilt configuration serves mingw as it is.
configure_file(${libpng_root}/scripts/pnglibconf.h.prebuilt
               ${CMAKE_BINARY_DIR}/libpng-include/pnglibconf.h COPYONLY)

# The static zlib: the DLL must need nothing beside it.
find_library(ORV_MINGW_ZLIB NAMES libz.a)
if(NOT ORV_MINGW_ZLIB)
  message(FATAL_ERROR "mingw's static zlib (libz.a) not found: install libz-mingw-w64-dev")
endif()

set(libpng_sources)
foreach(name png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans
             pngwio pngwrite pngwtran pngwutil)
  list(APPEND libpng_sources ${libpng_root}/${name}.c)
endforeach()
add_library(orv_png STATIC ${libpng_sources})
target_include_directories(orv_png SYSTEM PUBLIC ${libpng_root} ${CMAKE_BINARY_DIR}/libpng-include)
target_link_libraries(orv_png PUBLIC ${ORV_MINGW_ZLIB})
