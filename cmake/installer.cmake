# The Windows installer, ORV_Q12-<version>-setup.exe in packages/: a 64-bit NSIS installer made
# on Linux by makensis, built with every Windows build. It carries every module in the module
# list: the build installs the tree into a staging folder (stripped, as the zip is),
# installer/installer_formats.cmake writes what each module's files are from that list and the
# staged files, and the script installer/orv_q12.nsi.in (configured here with the identity)
# takes them from there.
find_program(ORV_MAKENSIS makensis REQUIRED)

# Where each format goes: the folder the user picks on the folder page ($INSTDIR) for VST 2, the
# folders every host of the format searches for the others. One format has the chosen folder.
set(orv_installer_folder_vst2 [[$INSTDIR]])
set(orv_installer_folder_vst3 [[$COMMONFILES64\VST3]])
set(orv_installer_folder_clap [[$COMMONFILES64\CLAP]])

set(orv_installer_dir ${CMAKE_BINARY_DIR}/installer)
set(orv_installer_stage ${orv_installer_dir}/stage)
set(orv_installer_folders ${orv_installer_dir}/folders.txt)
set(orv_installer_formats ${orv_installer_dir}/formats.nsh)
set(orv_installer_script ${orv_installer_dir}/${ORV_MODULE_NAME}.nsi)
set(ORV_INSTALLER ${CMAKE_BINARY_DIR}/packages/${ORV_MODULE_NAME}-${PROJECT_VERSION}-setup.exe)

get_property(orv_installer_formats_list GLOBAL PROPERTY ORV_MODULE_FORMATS)
set(orv_folder_lines "")
foreach(format ${orv_installer_formats_list})
  if(NOT DEFINED orv_installer_folder_${format})
    message(FATAL_ERROR "cmake/installer.cmake: no Windows folder for the ${format} module; "
                        "name the folder hosts search for it (orv_installer_folder_${format})")
  endif()
  string(APPEND orv_folder_lines "${format}\t${orv_installer_folder_${format}}\n")
endforeach()
file(CONFIGURE OUTPUT ${orv_installer_folders} CONTENT "${orv_folder_lines}" @ONLY)
orv_configure_identity_file(${CMAKE_SOURCE_DIR}/installer/orv_q12.nsi.in ${orv_installer_script})

orv_module_targets(orv_installer_modules)
add_custom_command(OUTPUT ${ORV_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${orv_installer_stage}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${orv_installer_stage} --strip
  COMMAND ${CMAKE_COMMAND} -DMODULES=${CMAKE_BINARY_DIR}/modules.txt
          -DFOLDERS=${orv_installer_folders} -DSTAGE=${orv_installer_stage}
          -DOUTPUT=${orv_installer_formats}
          -P ${CMAKE_SOURCE_DIR}/installer/installer_formats.cmake
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packages
  COMMAND ${ORV_MAKENSIS} -V2 -WX -DORV_FORMATS_FILE=${orv_installer_formats}
          -DORV_OUTFILE=${ORV_INSTALLER} ${orv_installer_script}
  DEPENDS ${orv_installer_modules} ${orv_installer_script} ${orv_installer_folders}
          ${CMAKE_BINARY_DIR}/modules.txt ${CMAKE_SOURCE_DIR}/installer/installer_formats.cmake
  COMMENT "Making the installer ${ORV_MODULE_NAME}-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(orv_installer ALL DEPENDS ${ORV_INSTALLER})
