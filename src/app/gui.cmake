# The desktop program: application object, main window, settings dialog,
# report boxes and progress bar, and the screenshot tool.
add_library(quorvane_gui_shell STATIC
  src/app/artwork.cpp
  src/app/editor_app.cpp
  src/app/file_action.cpp
  src/app/main_window.cpp
  src/app/platform.cpp
  src/app/progress_bar.cpp
  src/app/report_box.cpp
  src/app/settings_dialog.cpp
  src/app/artwork.h
  src/app/editor_app.h
  src/app/file_action.h
  src/app/main_window.h
  src/app/platform.h
  src/app/progress_bar.h
  src/app/report_box.h
  src/app/settings_dialog.h
  resources/quorvane.qrc
)
target_link_libraries(quorvane_gui_shell PUBLIC quorvane_gui_base quorvane_gui_tables quorvane_gui_forms Qt6::Widgets)

add_executable(quorvane-editor WIN32 MACOSX_BUNDLE src/app/main.cpp)
target_link_libraries(quorvane-editor PRIVATE quorvane_gui_shell)

add_executable(quorvane-screenshots src/app/screenshots.cpp)
target_link_libraries(quorvane-screenshots PRIVATE quorvane_gui_shell)

# The program file's own icon: a resource script on Windows, the bundle icon
# on macOS. Elsewhere the window icon comes from the compiled-in resources.
if(WIN32)
  target_sources(quorvane-editor PRIVATE resources/quorvane.rc)
elseif(APPLE)
  set_target_properties(quorvane-editor PROPERTIES MACOSX_BUNDLE_BUNDLE_NAME "Quorvane Editor")
endif()
