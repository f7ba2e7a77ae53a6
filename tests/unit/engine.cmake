# Unit tests of the image engine, in every tree.
lumora_unit_test(engine_test SOURCES unit/engine_test.cpp LIBS lumora_engine)
# The same stills, bit for bit, in every tree.
lumora_unit_test(engine_checksum_test SOURCES unit/engine_checksum_test.cpp
                 LIBS lumora_engine lumora_render_logic)
