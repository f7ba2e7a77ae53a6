# The fast frame against the straightforward one, the worker pool and the fast math kernels.
find_package(Threads REQUIRED)
add_library(lumora_engine_fast STATIC
  ${PROJECT_SOURCE_DIR}/engine/fast_field.cpp
  ${PROJECT_SOURCE_DIR}/engine/fast_frame.cpp
  ${PROJECT_SOURCE_DIR}/engine/fast_math.cpp
  ${PROJECT_SOURCE_DIR}/engine/worker_pool.cpp)
target_include_directories(lumora_engine_fast PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora_engine_fast PUBLIC lumora_engine Threads::Threads)
lumora_unit_test(engine_fast_test SOURCES unit/engine_fast_test.cpp LIBS lumora_engine_fast)
