// The fixed description of the editable game data: 43 sections, their
// headers, display names, shapes, column names and row labels.
#pragma once

#include <string>

namespace quorvane {

constexpr int kSectionCount = 43;   // sections 0 .. 42
constexpr int kHeaderEnd = 43;      // Header(43) is "END"
constexpr int kHeaderVersion = 44;  // Header(44) is "%version=0.2500000"
constexpr int kMaxRows = 215;
constexpr int kMaxColumns = 33;
constexpr int kInUseCells = 12450;  // 745 names and 11,705 values
constexpr int kRecordLines = 745;

// Rows and columns of section i (columns include column 0, the name).
int Rows(int i);
int Columns(int i);

// The directive text of section i; Header(43) is "END" and Header(44) the
// version text.
const std::string& Header(int i);

// The text shown in the section chooser and as the caption of the section's
// window.
const std::string& DisplayName(int i);

// Column name of a record section (0 .. 22); "Error" for every other section
// or for a column the section does not have.
const std::string& ColumnName(int i, int step);

// Fixed label of row j of sections 21 .. 42; empty for other sections.
const std::string& RowLabel(int i, int j);

// True when (i, j, step) is a cell of the catalogue.
bool InUse(int i, int j, int step);

}  // namespace quorvane
