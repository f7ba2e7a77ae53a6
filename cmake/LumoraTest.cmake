# The flavour names the build in test names: native, asan, win32 or win64.
if(LUMORA_SANITIZE)
  set(LUMORA_FLAVOUR asan)
elseif(NOT WIN32)
  set(LUMORA_FLAVOUR native)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(LUMORA_FLAVOUR win32)
else()
  set(LUMORA_FLAVOUR win64)
endif()

# lumora_unit_test(NAME SOURCES ... LIBS ...)
# A GoogleTest program registered with CTest as one test. In the Windows builds CTest
# runs it through Wine (CMAKE_CROSSCOMPILING_EMULATOR).
# On Windows GoogleTest starts a thread of its own at a test's first SCOPED_TRACE (the watcher
# of its thread-local values). A program that ends while that thread is still starting, as a
# short test on a loaded machine can, is ended by Wine 8 with a segmentation fault after every
# test passed: name each case in its checks' messages instead, at least in short programs.
function(lumora_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main lumora_test_pch)
  target_precompile_headers(${name} REUSE_FROM lumora_test_pch)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(label ${LUMORA_FLAVOUR})
  add_test(NAME ${label}.${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${label}.${name} PROPERTIES LABELS "unit;${label}" TIMEOUT 600)
  lumora_sanitizer_environment(${label}.${name})
endfunction()

# Under the sanitizers the first finding ends the program with a report and a failure.
function(lumora_sanitizer_environment test)
  if(LUMORA_SANITIZE)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      "ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
      "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
  endif()
endfunction()
