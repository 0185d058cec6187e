# QtTest executable of the CSV export and import in the table windows' row
# menu, run offscreen on an extracted sample game.
add_executable(gui_csv_test ${CMAKE_CURRENT_LIST_DIR}/gui_csv_test.cpp)
target_link_libraries(gui_csv_test PRIVATE quorvane_gui_tables Qt6::Test)
add_test(NAME gui_csv_test COMMAND gui_csv_test)
set_tests_properties(gui_csv_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS gui)
