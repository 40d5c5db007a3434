# Helpers shared by the folders' CMakeLists.txt files.

# orv_library(NAME sources...): a static library of project code with the project's flags.
function(orv_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC orv_flags)
endfunction()

# orv_test_suite(NAME sources...): a GoogleTest program registered with CTest as one test.
# Under the cross build CTest runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
function(orv_test_suite name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE orv_flags GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

# orv_thread_suite(NAME): marks a test suite whose point is threads. The thread-sanitizer tree
# (ORV_TSAN) builds only these, through the orv_thread_suites target, and runs them by their
# "threads" label.
add_custom_target(orv_thread_suites)
function(orv_thread_suite name)
  set_tests_properties(${name} PROPERTIES LABELS threads)
  add_dependencies(orv_thread_suites ${name})
endfunction()
