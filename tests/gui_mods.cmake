# QtTest executable of the Mods window, the restore of the original game from
# the Settings dialog and the Changes window's comparison with the original
# game, run offscreen on a sample game.
add_executable(gui_mods_test ${CMAKE_CURRENT_LIST_DIR}/gui_mods_test.cpp)
target_link_libraries(gui_mods_test PRIVATE quorvane_gui_shell Qt6::Test)
add_test(NAME gui_mods_test COMMAND gui_mods_test)
set_tests_properties(gui_mods_test PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS gui TIMEOUT 300)
