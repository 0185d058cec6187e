# The core: standard C++ only, no Qt.
add_library(quorvane_core STATIC
  src/catalogue/catalogue.cpp
  src/catalogue/layout.cpp
  src/catalogue/conversions.cpp
  src/catalogue/readers.cpp
  src/catalogue/game_file.cpp
  src/app/error_report.cpp
  src/app/debug_log.cpp
  src/app/actions.cpp
  src/rules/value_grid.cpp
  src/rules/format.cpp
  src/rules/save.cpp
  src/rules/load.cpp
  src/extract/extract.cpp
  src/writeback/lookup.cpp
  src/writeback/writers.cpp
  src/writeback/pipeline.cpp
  src/writeback/dry_run.cpp
  src/writeback/cell_check.cpp
  src/sample/sample_game.cpp
  src/rules/file_io.cpp
)
target_include_directories(quorvane_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
