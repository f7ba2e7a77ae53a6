# Unit tests of the image engine, in every tree.
lumora_unit_test(engine_test SOURCES unit/engine_test.cpp LIBS lumora_engine)
