# QtTest executable of the everyday modding work through the real windows:
# names that fit and stay in view, flags and codes beside their fields, the
# keyboard, where windows open, the review of edits not stored yet and the
# write that asks about refusals and lists its problems; run offscreen.
add_executable(gui_work_test ${CMAKE_CURRENT_LIST_DIR}/gui_work_test.cpp)
target_link_libraries(gui_work_test PRIVATE quorvane_gui_shell Qt6::Test)
add_test(NAME gui_work_test COMMAND gui_work_test)
set_tests_properties(gui_work_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui TIMEOUT 300)
