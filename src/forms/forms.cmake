# The constant-group forms: one generic form configured from a table.
add_library(quorvane_gui_forms STATIC
  src/forms/constant_form.h
  src/forms/constant_form.cpp
  src/forms/form_table.h
  src/forms/form_table.cpp
)
target_link_libraries(quorvane_gui_forms PUBLIC quorvane_gui_base)
