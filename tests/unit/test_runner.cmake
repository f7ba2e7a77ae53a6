# The Windows trees' test runner: a start refused by Wine's server is tried again.
if(LUMORA_FLAVOUR STREQUAL "native")
  add_test(NAME native.wine_exec_test
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/unit/wine_exec_test.sh ${PROJECT_SOURCE_DIR}/scripts/wine-exec.sh)
  set_tests_properties(native.wine_exec_test PROPERTIES LABELS "unit;native" TIMEOUT 60)
endif()
