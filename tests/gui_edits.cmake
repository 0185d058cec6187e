# QtTest executable of the questions before an edit could be lost, the marks
# of where an edit stands and the settings dialog's status line, run
# offscreen through the program's real windows.
add_executable(gui_edits_test ${CMAKE_CURRENT_LIST_DIR}/gui_edits_test.cpp)
target_link_libraries(gui_edits_test PRIVATE quorvane_gui_shell Qt6::Test)
add_test(NAME gui_edits_test COMMAND gui_edits_test)
set_tests_properties(gui_edits_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui TIMEOUT 300)
