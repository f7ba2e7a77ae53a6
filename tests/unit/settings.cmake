# The settings policy against the in-memory store (every tree), and against the registry (Windows).
lumora_unit_test(settings_test SOURCES unit/settings_test.cpp LIBS lumora_settings)
if(WIN32)
  lumora_unit_test(registry_test SOURCES unit/registry_test.cpp LIBS lumora_settings_win)
endif()
# The settings dialog's presets and labels, and the still's file-name rule.
lumora_unit_test(export_test SOURCES unit/export_test.cpp LIBS lumora_settings)
if(WIN32)
  # The encoder lookup and the still's safe save against the system's GDI+.
  lumora_unit_test(image_file_test SOURCES unit/image_file_test.cpp LIBS lumora_settings_win)
endif()
if(WIN32)
  # The still of "Save Image" and the live view it pauses.
  lumora_unit_test(still_image_test SOURCES unit/still_image_test.cpp LIBS lumora_settings_win)
endif()
# Where the settings dialog goes under its live view.
lumora_unit_test(dialog_placement_test SOURCES unit/dialog_placement_test.cpp LIBS lumora_settings)
# Which Esc the settings dialog takes after a still: only one pressed once its input was back.
lumora_unit_test(held_keys_test SOURCES unit/held_keys_test.cpp LIBS lumora_settings)
