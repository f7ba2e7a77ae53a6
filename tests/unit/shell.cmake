# The shell's pure logic: the frame stretch.
lumora_unit_test(stretch_test SOURCES unit/stretch_test.cpp LIBS lumora_shell_logic)
