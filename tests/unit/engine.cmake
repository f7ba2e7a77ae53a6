# Unit tests of the image engine, in every tree.
lumora_unit_test(engine_test SOURCES unit/engine_test.cpp LIBS lumora_engine)
# The same stills, bit for bit, in every tree.
lumora_unit_test(engine_checksum_test SOURCES unit/engine_checksum_test.cpp
                 LIBS lumora_engine lumora_render_logic)

# lumora-render: its command line pieces, and the program as a user runs it.
lumora_unit_test(render_options_test SOURCES unit/render_options_test.cpp LIBS lumora_render_logic)
if(NOT WIN32)
  add_test(NAME ${LUMORA_FLAVOUR}.render_cli_test
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/unit/render_cli_test.sh $<TARGET_FILE:lumora-render>)
  lumora_sanitizer_environment(${LUMORA_FLAVOUR}.render_cli_test)
else()
  add_test(NAME ${LUMORA_FLAVOUR}.render_cli_test
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/unit/render_cli_test.sh
                   ${PROJECT_SOURCE_DIR}/scripts/wine-exec.sh $<TARGET_FILE:lumora-render>)
endif()
set_tests_properties(${LUMORA_FLAVOUR}.render_cli_test PROPERTIES LABELS "unit;${LUMORA_FLAVOUR}" TIMEOUT 300)
# Stills in pieces against one frame and against the straightforward engine beyond the planes.
lumora_unit_test(engine_still_test SOURCES unit/engine_still_test.cpp LIBS lumora_engine)
# Fresh states' first frames on every path, the patterns' facts, the fast-math constants.
lumora_unit_test(engine_render_test SOURCES unit/engine_render_test.cpp LIBS lumora_engine)
