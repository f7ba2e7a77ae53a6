# The frame the engine renders into and the windows draw, and one engine frame into it.
lumora_unit_test(frame_test SOURCES unit/frame_test.cpp LIBS lumora_shell_logic)
# The shell's pure logic: the frame stretch.
lumora_unit_test(stretch_test SOURCES unit/stretch_test.cpp LIBS lumora_shell_logic)
# The preview's host window handle from the command line.
lumora_unit_test(window_handle_test SOURCES unit/window_handle_test.cpp LIBS lumora_shell_logic)
# The display power notification's reading (Windows only: it reads a Windows structure).
if(WIN32)
  lumora_unit_test(power_setting_test SOURCES unit/power_setting_test.cpp LIBS lumora_platform)
  # The owners of what the system hands out: what each gives where the system refuses.
  lumora_unit_test(handles_test SOURCES unit/handles_test.cpp LIBS lumora_platform)
endif()
# One field over every monitor: grid, divisor, the monitors' parts, the stretch in parts.
lumora_unit_test(span_test SOURCES unit/span_test.cpp LIBS lumora_shell_logic)
if(WIN32)
  # The draw: DIB section and memory frame to a device context, the window's stretched picture.
  lumora_unit_test(draw_frame_test
    SOURCES unit/draw_frame_test.cpp ${PROJECT_SOURCE_DIR}/shell/window_picture.cpp
    LIBS lumora_shell_logic lumora_platform)
endif()
# The saver's changes over time: the next pattern and scheme, when a change is due, the blends.
lumora_unit_test(field_cycle_test SOURCES unit/field_cycle_test.cpp LIBS lumora_shell_logic)
# The mouse's end of the saver: jumps between consecutive moves, from the system's record.
lumora_unit_test(mouse_jerk_test SOURCES unit/mouse_jerk_test.cpp LIBS lumora_shell_logic)
# A window's field over its life: changes made ahead, the live view, a new grid, the fade-in.
lumora_unit_test(field_life_test SOURCES unit/field_life_test.cpp LIBS lumora_shell_logic)
# The draw's policy: the path at the start and the trial between GDI and Direct3D.
lumora_unit_test(draw_choice_test SOURCES unit/draw_choice_test.cpp LIBS lumora_shell_logic)
