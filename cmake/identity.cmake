# Who the plug-in is, in every format: names, version, the maker's address and every format's
# identifier, in one place. Read before project(), which takes its version from here; the C++
# header generated/orv_identity.h is made from these variables (cmake/orv_identity.h.in), and so
# is every other file that names them (packages, bundle descriptions, installer scripts):
# configure such a file with orv_configure_identity_file. Identifiers marked "fixed for good"
# are what hosts and projects know the plug-in by: never change them once released.

set(ORV_PRODUCT_NAME "ORV Q12")
set(ORV_VENDOR_NAME "ORV AUDIO")
set(ORV_VERSION 1.1.0)
# The maker's web address, without a scheme: it also names the plug-in's preset 0.
set(ORV_WEB_ADDRESS "orv-audio.example")
set(ORV_URL "https://${ORV_WEB_ADDRESS}")
set(ORV_SUPPORT_EMAIL "support@${ORV_WEB_ADDRESS}")
# File names: the modules (ORV_Q12.so, ORV_Q12.dll, ORV_Q12.vst3, ...) and the Debian package.
set(ORV_MODULE_NAME ORV_Q12)
set(ORV_PACKAGE_NAME orv-q12)

# VST 2: the unique id and the maker's code, four and three characters (fixed for good).
set(ORV_VST2_UNIQUE_ID "zQ71")
set(ORV_VST2_MAKER_CODE "ORV")

# VST 3: the class id, derived from the VST 2 unique id as the four 32-bit words whose bytes, most
# significant first, spell "zQ71", "ORV ", "VST3" and "Q12" with a final zero byte (fixed for
# good). Its text is the 32 hexadecimal digits of the words in order, as moduleinfo.json writes it.
set(ORV_VST3_CLASS_ID_WORDS 0x7A513731 0x4F525620 0x56535433 0x51313200)
string(REPLACE "0x" "" ORV_VST3_CLASS_ID "${ORV_VST3_CLASS_ID_WORDS}")
string(REPLACE ";" "" ORV_VST3_CLASS_ID "${ORV_VST3_CLASS_ID}")
set(ORV_VST3_CATEGORY "Audio Module Class")
set(ORV_VST3_SUBCATEGORIES "Fx|Distortion")
# The interface version the class info reports, the one whose facts the declarations follow.
set(ORV_VST3_SDK_VERSION "VST 3.7.14")

# CLAP: the plug-in id, the maker's address reversed, then the product (fixed for good).
set(ORV_CLAP_ID "example.orv-audio.q12")
set(ORV_CLAP_FEATURES audio-effect distortion stereo mono)

# LV2: the plug-in's URI and its UI's (fixed for good).
set(ORV_LV2_URI "${ORV_URL}/plugins/q12")
set(ORV_LV2_UI_URI "${ORV_LV2_URI}#ui")

# The lists as C++ initialisers, for the header.
string(REPLACE ";" ", " ORV_VST3_CLASS_ID_LIST "${ORV_VST3_CLASS_ID_WORDS}")
list(JOIN ORV_CLAP_FEATURES "\", \"" ORV_CLAP_FEATURE_LIST)
set(ORV_CLAP_FEATURE_LIST "\"${ORV_CLAP_FEATURE_LIST}\"")

# orv_configure_identity_file(IN OUT): copies IN to OUT with every @ORV_...@ replaced, as the
# formats' description files need (moduleinfo.json, .ttl files, desktop entries).
function(orv_configure_identity_file in out)
  configure_file(${in} ${out} @ONLY)
endfunction()
