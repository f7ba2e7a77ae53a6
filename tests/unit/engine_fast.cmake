# The fast frame and field against the straightforward ones, the worker pool and the fast math
# kernels.
lumora_unit_test(engine_fast_test SOURCES unit/engine_fast_test.cpp LIBS lumora_engine)
