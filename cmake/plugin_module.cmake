# The plug-in modules, one per format: how each is linked and registered. Each format's folder
# makes its module with orv_plugin_module; the suites, the scripts and the packages then find
# every module the build made in one list:
#   - generated/orv_modules.h: ORV_BUILT_MODULES, {"format", "path"} per module, for the
#     end-to-end suites (paths as the test programs open them: under Wine with a drive letter);
#   - modules.txt in the build tree: a line per module, tab-separated: format, title, the path a
#     host loads, the installed path below the prefix (build-all.sh and test-package.sh read it).

# orv_plugin_module(TARGET
#     FORMAT key           vst2, vst3, clap, lv2: the name the suites and scripts know it by
#     TITLE text           the format as people name it ("VST 2.x"), for listings and packages
#     EFFECT library       the effect compiled against this format's adapter (orv_effect_library)
#     ENTRY file           the file in effect/ that binds ORV_Q12 to this format's entry points
#     EXPORTS names...     the only symbols the binary exports (a version script on Linux)
#     [OUTPUT_NAME name] [SUFFIX suffix] [OUTPUT_DIRECTORY dir]   the binary's file
#     [HOST_PATH path]     what a host loads, when that is not the binary itself (a bundle folder)
#     [INSTALL_DIR dir]    where the binary goes on install, below the prefix (Linux) or in the
#                          zip (Windows); a bundle installs its folder itself and names the
#                          installed path with INSTALLED_PATH
#     [INSTALLED_PATH path]   what a host loads once installed, below the prefix
#     [SOURCES files...])  further sources of the binary itself
# makes the MODULE library TARGET, linked as every module is linked (the C++ runtime inside it
# on Windows, nothing but EXPORTS visible on Linux, the panel images in it), and registers it.
# The fuzz tree makes no modules: there the call does nothing.
function(orv_plugin_module target)
  cmake_parse_arguments(arg "" "FORMAT;TITLE;EFFECT;ENTRY;OUTPUT_NAME;SUFFIX;OUTPUT_DIRECTORY;HOST_PATH;INSTALL_DIR;INSTALLED_PATH"
                        "EXPORTS;SOURCES" ${ARGN})
  if(ORV_FUZZ)
    return()
  endif()
  foreach(required FORMAT TITLE EFFECT ENTRY EXPORTS)
    if(NOT arg_${required})
      message(FATAL_ERROR "orv_plugin_module(${target}): ${required} is missing")
    endif()
  endforeach()

  add_library(${target} MODULE ${CMAKE_SOURCE_DIR}/effect/${arg_ENTRY} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_EFFECT})
  if(NOT arg_OUTPUT_DIRECTORY)
    set(arg_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY
                        ${arg_OUTPUT_DIRECTORY})
  if(arg_OUTPUT_NAME)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${arg_OUTPUT_NAME})
  endif()
  if(arg_SUFFIX)
    set_target_properties(${target} PROPERTIES SUFFIX ${arg_SUFFIX})
  endif()

  if(WIN32)
    target_compile_definitions(${target} PRIVATE "ORV_EXPORT=__declspec(dllexport)")
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    # Nothing refers to it, so it goes straight into the DLL rather than through a library.
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/effect/runtime_release_win32.cpp)
  else()
    target_compile_definitions(${target} PRIVATE
      "ORV_EXPORT=__attribute__((visibility(\"default\")))")
    set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}_exports.map)
    list(JOIN arg_EXPORTS "; " global)
    file(CONFIGURE OUTPUT ${map} CONTENT "{\n  global: ${global};\n  local: *;\n};\n" @ONLY)
    target_link_options(${target} PRIVATE -Wl,--version-script=${map} -Wl,--no-undefined)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  endif()
  orv_link_panel_images(${target})

  if(NOT arg_HOST_PATH)
    set(arg_HOST_PATH $<TARGET_FILE:${target}>)
  endif()
  if(arg_INSTALL_DIR)
    install(TARGETS ${target} LIBRARY DESTINATION ${arg_INSTALL_DIR})
    if(NOT arg_INSTALLED_PATH)
      set(arg_INSTALLED_PATH ${arg_INSTALL_DIR}/$<TARGET_FILE_NAME:${target}>)
    endif()
  endif()
  set_property(GLOBAL APPEND PROPERTY ORV_MODULE_FORMATS ${arg_FORMAT})
  set_property(GLOBAL PROPERTY ORV_MODULE_${arg_FORMAT}_TARGET ${target})
  set_property(GLOBAL PROPERTY ORV_MODULE_${arg_FORMAT}_TITLE "${arg_TITLE}")
  set_property(GLOBAL PROPERTY ORV_MODULE_${arg_FORMAT}_PATH "${arg_HOST_PATH}")
  set_property(GLOBAL PROPERTY ORV_MODULE_${arg_FORMAT}_INSTALLED "${arg_INSTALLED_PATH}")
  set_property(GLOBAL PROPERTY ORV_MODULE_${arg_FORMAT}_EXPORTS "${arg_EXPORTS}")
endfunction()

# orv_link_panel_images(TARGET): the panel images into a binary that shows the editor, a module
# or a program (the standalone one): on Windows as resources compiled from the .rc file, on Linux
# as the byte arrays of orv_resources, whose table the linker is told to keep although no code
# names it.
function(orv_link_panel_images target)
  if(WIN32)
    orv_add_png_resources(${target})
  else()
    target_link_libraries(${target} PRIVATE orv_resources)
    target_link_options(${target} PRIVATE "LINKER:--undefined=kEmbeddedResources")
  endif()
endfunction()

# orv_module_targets(VAR): the module targets of every format, for dependencies.
function(orv_module_targets var)
  get_property(formats GLOBAL PROPERTY ORV_MODULE_FORMATS)
  set(targets "")
  foreach(format ${formats})
    get_property(target GLOBAL PROPERTY ORV_MODULE_${format}_TARGET)
    list(APPEND targets ${target})
  endforeach()
  set(${var} ${targets} PARENT_SCOPE)
endfunction()

# orv_write_module_list(): the header and the file named above, once every format is in.
function(orv_write_module_list)
  get_property(formats GLOBAL PROPERTY ORV_MODULE_FORMATS)
  set(entries "")
  set(lines "")
  # The test programs of the Windows build run under Wine, which sees this file system as Z:.
  set(drive "")
  if(WIN32)
    set(drive "Z:")
  endif()
  foreach(format ${formats})
    get_property(title GLOBAL PROPERTY ORV_MODULE_${format}_TITLE)
    get_property(path GLOBAL PROPERTY ORV_MODULE_${format}_PATH)
    get_property(installed GLOBAL PROPERTY ORV_MODULE_${format}_INSTALLED)
    string(APPEND entries "    {\"${format}\", \"${drive}${path}\"}, \\\n")
    string(APPEND lines "${format}\t${title}\t${path}\t${installed}\n")
  endforeach()
  file(GENERATE OUTPUT ${ORV_GENERATED_INCLUDE_DIR}/generated/orv_modules.h CONTENT
"// The plug-in modules this build made, {format, path} for each: written by CMake
// (cmake/plugin_module.cmake) from the modules the format folders registered.
#pragma once

#define ORV_BUILT_MODULES \\
${entries}
")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/modules.txt CONTENT "${lines}")
endfunction()
