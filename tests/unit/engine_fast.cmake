# The fast frame and field against the straightforward ones, the worker pool and the fast math
# kernels.
lumora_unit_test(engine_fast_test SOURCES unit/engine_fast_test.cpp LIBS lumora_engine)
# The vector frame against the straightforward one on every path the processor offers.
lumora_unit_test(engine_vector_test SOURCES unit/engine_vector_test.cpp LIBS lumora_engine)
# Its kernels and colouring, built for AVX2 as the engine builds them (without the shared
# precompiled header, which is built for the baseline).
add_executable(engine_vector_kernels_test unit/engine_vector_kernels_test.cpp)
target_link_libraries(engine_vector_kernels_test PRIVATE lumora_engine GTest::gtest_main)
target_include_directories(engine_vector_kernels_test PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(engine_vector_kernels_test PRIVATE -mavx2 -mfma)
if(MINGW)
  target_compile_options(engine_vector_kernels_test PRIVATE -Wa,-muse-unaligned-vector-move)
endif()
add_test(NAME ${LUMORA_FLAVOUR}.engine_vector_kernels_test COMMAND engine_vector_kernels_test --gtest_brief=1)
set_tests_properties(${LUMORA_FLAVOUR}.engine_vector_kernels_test PROPERTIES LABELS "unit;${LUMORA_FLAVOUR}" TIMEOUT 600)
lumora_sanitizer_environment(${LUMORA_FLAVOUR}.engine_vector_kernels_test)
