# QtTest executable of the record tables, edit dialogs and help tabs, run
# offscreen.
add_executable(gui_tables_test ${CMAKE_CURRENT_LIST_DIR}/gui_tables_test.cpp)
target_link_libraries(gui_tables_test PRIVATE quorvane_gui_tables Qt6::Test)
add_test(NAME gui_tables_test COMMAND gui_tables_test)
set_tests_properties(gui_tables_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS gui)
