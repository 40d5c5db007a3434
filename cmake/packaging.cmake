# Packaging the plug-in modules. Each format's module installs itself (orv_plugin_module's
# INSTALL_DIR, or the format folder's own install rules for a bundle): `cmake --install` puts the
# VST 2 module in lib/vst under the prefix, where Linux hosts look (/usr/local/lib/vst by
# default), and the VST 3 bundle in lib/vst3. CPack makes a Debian package of everything installed (/usr/lib/vst/ORV_Q12.so, ...)
# on Linux, and a zip of the Windows modules and a read-me; the Windows build also makes the
# installer (cmake/installer.cmake).
if(WIN32)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt.in
                 ${CMAKE_BINARY_DIR}/README.txt NEWLINE_STYLE CRLF @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  include(${CMAKE_CURRENT_LIST_DIR}/installer.cmake)
endif()

# The formats by their titles, for the description: "a VST 2.x effect plug-in", or "VST 2.x,
# VST 3 and CLAP effect plug-ins" once there are more.
get_property(orv_formats GLOBAL PROPERTY ORV_MODULE_FORMATS)
set(orv_titles "")
foreach(format ${orv_formats})
  get_property(title GLOBAL PROPERTY ORV_MODULE_${format}_TITLE)
  list(APPEND orv_titles "${title}")
endforeach()
list(LENGTH orv_titles orv_title_count)
if(orv_title_count EQUAL 1)
  set(orv_kind "a ${orv_titles} effect plug-in")
else()
  list(POP_BACK orv_titles orv_last_title)
  list(JOIN orv_titles ", " orv_kind)
  set(orv_kind "${orv_kind} and ${orv_last_title} effect plug-ins")
endif()

# The standalone program beside the plug-ins, where the build made it.
if(TARGET orv-q12)
  set(orv_kind "${orv_kind} and a standalone JACK program")
endif()

set(CPACK_PACKAGE_NAME ${ORV_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "${ORV_VENDOR_NAME}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${ORV_PRODUCT_NAME} overdrive: ${orv_kind}")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "${ORV_PRODUCT_NAME} by ${ORV_VENDOR_NAME} is a two-channel overdrive for digital audio workstations:"
  "a circuit model of an analog overdrive pedal with Input, Drive, Filter and Volume"
  "knobs, a stereo switch, a 2x or 4x oversampling switch and a footswitch.")
if(TARGET orv-q12)
  string(APPEND CPACK_PACKAGE_DESCRIPTION "\n"
    "orv-q12 plays it on its own, through the JACK audio server or PipeWire's JACK support.")
endif()
set(CPACK_PACKAGE_HOMEPAGE_URL "${ORV_URL}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${ORV_MODULE_NAME}-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORV_VENDOR_NAME} <${ORV_SUPPORT_EMAIL}>")
  # dpkg-shlibdeps reads the libraries the modules link and writes the Depends line.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
