# QtTest executable of the application shell (main window, settings dialog,
# report boxes, quit prompt), run offscreen.
add_executable(gui_app_test ${CMAKE_CURRENT_LIST_DIR}/gui_app_test.cpp)
target_link_libraries(gui_app_test PRIVATE quorvane_gui_shell Qt6::Test)
add_test(NAME gui_app_test COMMAND gui_app_test)
set_tests_properties(gui_app_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui TIMEOUT 300)
