# QtTest executables of the constant-group forms, run offscreen.
add_executable(gui_forms_test gui_forms_test.cpp)
target_link_libraries(gui_forms_test PRIVATE quorvane_gui_forms Qt6::Test)
if(TARGET quorvane_screenshot_renderers)
  target_link_libraries(gui_forms_test PRIVATE quorvane_screenshot_renderers)
endif()
add_test(NAME gui_forms_test COMMAND gui_forms_test)
set_tests_properties(gui_forms_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS gui)

# The typical use, end to end, through the real windows: the main window and
# settings dialog of the program, the section chooser, tables and forms.
if(TARGET quorvane_gui_shell)
  add_executable(gui_e2e_test gui_e2e_test.cpp)
  target_link_libraries(gui_e2e_test PRIVATE quorvane_gui_shell quorvane_gui_tables quorvane_gui_forms Qt6::Test)
  add_test(NAME gui_e2e_test COMMAND gui_e2e_test)
  set_tests_properties(gui_e2e_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS gui)
endif()
