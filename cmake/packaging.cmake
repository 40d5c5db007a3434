# Installing and packaging the plug-in module. `cmake --install` puts ORV_Q12.so in lib/vst under
# the prefix, where Linux hosts look (/usr/local/lib/vst by default). CPack makes a Debian package
# (/usr/lib/vst/ORV_Q12.so) on Linux and a zip of the DLL and a read-me for Windows.
if(WIN32)
  install(TARGETS ORV_Q12 LIBRARY DESTINATION .)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt.in
                 ${CMAKE_BINARY_DIR}/README.txt NEWLINE_STYLE CRLF @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(TARGETS ORV_Q12 LIBRARY DESTINATION lib/vst)
endif()

set(CPACK_PACKAGE_NAME orv-q12)
set(CPACK_PACKAGE_VENDOR "ORV AUDIO")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ORV Q12 overdrive: a VST 2.x effect plug-in")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "ORV Q12 by ORV AUDIO is a two-channel overdrive for digital audio workstations:"
  "a circuit model of an analog overdrive pedal with Input, Drive, Filter and Volume"
  "knobs, a stereo switch, a 2x or 4x oversampling switch and a footswitch.")
# The maker's address, as the plug-in names its preset.
set(ORV_WEB_ADDRESS orv-audio.example)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${ORV_WEB_ADDRESS}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ORV_Q12-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ORV AUDIO <support@${ORV_WEB_ADDRESS}>")
  # dpkg-shlibdeps reads the libraries the module links and writes the Depends line.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
