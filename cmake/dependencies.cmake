# Libraries outside the project. Google Benchmark and libsndfile serve Linux tools only.
if(NOT WIN32)
  find_package(benchmark QUIET)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
  find_library(DL_LIBRARY dl)
endif()
