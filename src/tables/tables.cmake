# Record tables and editors: section chooser and dispatcher, list binding,
# table dialogs, edit dialogs and help tabs.
add_library(quorvane_gui_tables STATIC
  src/tables/section_chooser.h
  src/tables/section_chooser.cpp
  src/tables/kinds.h
  src/tables/kinds.cpp
  src/tables/list_binding.h
  src/tables/list_binding.cpp
  src/tables/closing_dialog.h
  src/tables/table_dialog.h
  src/tables/table_dialog.cpp
  src/tables/edit_dialog.h
  src/tables/edit_dialog.cpp
  src/tables/help_texts.h
  src/tables/help_texts.cpp
  src/tables/help_tab.h
  src/tables/help_tab.cpp
  src/tables/open_windows.h
  src/tables/open_windows.cpp
)
target_link_libraries(quorvane_gui_tables PUBLIC quorvane_gui_base quorvane_gui_forms)
