# Writes the installer's list of formats (an NSIS header) from the module list and the staged
# install tree, so that the installer carries every module the build made and each module's
# files as they were installed, a bundle's whole folder included.
# Usage: cmake -DMODULES=modules.txt -DFOLDERS=folders.txt -DSTAGE=dir -DOUTPUT=formats.nsh -P
#        installer_formats.cmake
# The header defines, for the installer script:
#   ORV_FORMATS MACRO: inserts MACRO FORMAT TITLE FOLDER ITEM for each format, ITEM being the
#     file or bundle folder a host loads, FOLDER where it goes (an NSIS path);
#   ORV_FORMAT_FILES_<format> MACRO FOLDER: inserts MACRO FOLDER SUB NAME SOURCE for each file of
#     the format, SUB its folder below FOLDER ("" or "\ORV_Q12.vst3\Contents\..."), SOURCE the
#     staged file;
#   ORV_CHOSEN_FORMAT, ORV_CHOSEN_TITLE, ORV_CHOSEN_ITEM: the format installed into the folder the
#     user chooses ($INSTDIR); ORV_FORMAT_KEYS: the formats' names, for messages.
foreach(required MODULES FOLDERS STAGE OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "installer_formats.cmake: -D${required}= is missing")
  endif()
endforeach()

# NSIS reads $ as the start of a variable and " ends a string: a staged path has neither.
function(check_nsis_text text)
  if(text MATCHES "[$\"]")
    message(FATAL_ERROR "installer_formats.cmake: the path ${text} has a $ or a quote")
  endif()
endfunction()

file(STRINGS ${FOLDERS} folder_lines)
foreach(line ${folder_lines})
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 format)
  list(GET fields 1 folder_${format})
endforeach()

file(STRINGS ${MODULES} module_lines)
set(each_format "")
set(file_macros "")
set(keys "")
set(chosen "")
foreach(line ${module_lines})
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 format)
  list(GET fields 1 title)
  list(GET fields 3 installed)
  if(NOT DEFINED folder_${format})
    message(FATAL_ERROR "installer_formats.cmake: ${FOLDERS} names no folder for ${format}")
  endif()
  set(folder "${folder_${format}}")
  get_filename_component(item "${installed}" NAME)
  set(source "${STAGE}/${installed}")
  check_nsis_text("${source}")
  if(IS_DIRECTORY "${source}")
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${source}" "${source}/*")
    list(SORT files)
    list(TRANSFORM files PREPEND "${item}/")
  elseif(EXISTS "${source}")
    set(files "${item}")
  else()
    message(FATAL_ERROR "installer_formats.cmake: the ${format} module ${source} is not staged")
  endif()
  get_filename_component(stage_root "${source}" DIRECTORY)

  string(APPEND each_format "  !insertmacro \${MACRO} ${format} \"${title}\" \"${folder}\" \"${item}\"\n")
  string(APPEND file_macros "!macro ORV_FORMAT_FILES_${format} MACRO FOLDER\n")
  foreach(file ${files})
    get_filename_component(name "${file}" NAME)
    get_filename_component(sub "${file}" DIRECTORY)
    if(sub)
      string(REPLACE "/" "\\" sub "\\${sub}")
    endif()
    string(APPEND file_macros
      "  !insertmacro \${MACRO} \"\${FOLDER}\" \"${sub}\" \"${name}\" \"${stage_root}/${file}\"\n")
  endforeach()
  string(APPEND file_macros "!macroend\n")
  list(APPEND keys ${format})
  if(folder STREQUAL "$INSTDIR")
    if(chosen)
      message(FATAL_ERROR "installer_formats.cmake: ${chosen} and ${format} both go to $INSTDIR")
    endif()
    set(chosen ${format})
    string(APPEND file_macros "!define ORV_CHOSEN_FORMAT ${format}\n"
                              "!define ORV_CHOSEN_TITLE \"${title}\"\n"
                              "!define ORV_CHOSEN_ITEM \"${item}\"\n")
  endif()
endforeach()
if(NOT keys)
  message(FATAL_ERROR "installer_formats.cmake: ${MODULES} lists no module")
endif()
list(JOIN keys ", " key_text)

file(WRITE ${OUTPUT}
  "; The formats the installer carries: written from the module list by installer_formats.cmake.\n"
  "!define ORV_FORMAT_KEYS \"${key_text}\"\n"
  "!macro ORV_FORMATS MACRO\n${each_format}!macroend\n"
  "${file_macros}")
