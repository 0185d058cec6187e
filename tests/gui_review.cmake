# QtTest executable of the Changes window (what a save and write would change,
# Revert, Refresh), run offscreen through the program's real windows.
add_executable(gui_review_test ${CMAKE_CURRENT_LIST_DIR}/gui_review_test.cpp)
target_link_libraries(gui_review_test PRIVATE quorvane_gui_shell Qt6::Test)
add_test(NAME gui_review_test COMMAND gui_review_test)
set_tests_properties(gui_review_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui TIMEOUT 300)
