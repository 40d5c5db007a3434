# Checks that a Linux plug-in module calls nothing that throws: no throwing operator new or
# new[] (a std::make_unique, a growing std::vector or std::string) and no throw of its own. The
# sources are the same on Windows, where the static DLL hides these calls from its import table.
# Usage: cmake -DMODULE=path -DTOOL=nm -P check_nothrow.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${TOOL} -D --undefined-only ${MODULE}
                OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read the imported symbols of ${MODULE}")
endif()
set(throwing
  _Znwm _Znam _ZnwmSt11align_val_t _ZnamSt11align_val_t
  __cxa_throw __cxa_allocate_exception __cxa_throw_bad_array_new_length
  _ZSt17__throw_bad_allocv _ZSt20__throw_length_errorPKc _ZSt28__throw_bad_array_new_lengthv)
string(REGEX MATCHALL "[^\n]+" lines "${dump}")
set(found "")
foreach(line ${lines})
  string(REGEX REPLACE "^.* ([^ @]+)(@.*)?$" "\\1" name "${line}")
  if(name IN_LIST throwing)
    list(APPEND found ${name})
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "${MODULE} calls what throws: ${found}")
endif()
