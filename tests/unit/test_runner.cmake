# The Windows trees' test runner: a start refused by Wine's server is tried again.
if(LUMORA_FLAVOUR STREQUAL "native")
  add_test(NAME native.wine_exec_test
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/unit/wine_exec_test.sh ${PROJECT_SOURCE_DIR}/scripts/wine-exec.sh)
  set_tests_properties(native.wine_exec_test PROPERTIES LABELS "unit;native" TIMEOUT 60)
endif()
# How Wine starts where the machine runs no 32-bit programs (scripts/wine-env.sh), and the
# release's manifests of both installers (scripts/release_manifests.py).
if(LUMORA_FLAVOUR STREQUAL "native")
  add_test(NAME native.wine_env_test
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/unit/wine_env_test.sh ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_test(NAME native.release_manifests_test
           COMMAND ${Python3_EXECUTABLE} -B ${CMAKE_CURRENT_SOURCE_DIR}/unit/release_manifests_test.py
                   ${PROJECT_SOURCE_DIR}/scripts)
  set_tests_properties(native.wine_env_test native.release_manifests_test PROPERTIES
    LABELS "unit;native" TIMEOUT 60)
endif()
