# QtTest executable of check-as-you-type, undo and redo of row saves and the
# name filter, run offscreen on an extracted sample game.
add_executable(gui_check_test ${CMAKE_CURRENT_LIST_DIR}/gui_check_test.cpp)
target_link_libraries(gui_check_test PRIVATE quorvane_gui_tables Qt6::Test)
add_test(NAME gui_check_test COMMAND gui_check_test)
set_tests_properties(gui_check_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS gui)
