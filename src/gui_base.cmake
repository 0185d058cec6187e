# Pieces every window of the desktop program shares.
add_library(quorvane_gui_base STATIC
  src/app/gui_context.h
  src/app/placement.cpp
  src/app/edit_state.h
  src/app/edit_state.cpp
)
target_link_libraries(quorvane_gui_base PUBLIC quorvane_core Qt6::Widgets)
