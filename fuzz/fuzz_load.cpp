// Fuzz target for the loader: the input is a rules file. It is loaded into a
// fresh session, and then
//  - every in-use cell holds a text (the loader stores every cell once,
//    whatever the faults), and each text has the form the loader can give:
//    a name holds no double quote and no line feed; a value is "Value Not
//    Found" or starts with a digit or minus sign and holds neither a line
//    feed nor the separator that ends it (comma, semicolon in the last
//    column);
//  - saving the grid and loading the saved file gives the same text in every
//    cell of every row whose values all loaded (a name as the save cleans
//    it: bytes below 0x20 as blanks).
#include <cstddef>
#include <cstdint>

#include "session/session.h"
#include "catalogue/catalogue.h"
#include "fuzz_support.h"
#include "rules/format.h"
#include "rules/load.h"
#include "rules/save.h"

namespace {

using namespace quorvane;
using namespace quorvane::fuzz;

fs::path g_input;
fs::path g_saved;

bool IsValueStart(char c) { return (c >= '0' && c <= '9') || c == '-'; }

// What every cell holds before the load: a line feed, which no cell the
// loader stores can hold (a name of "Not Set" is a text like any other).
constexpr const char* kUnstored = "\n";

void CheckCellForms(const ValueGrid& grid) {
    for (int i = 0; i < kSectionCount; ++i) {
        const int columns = Columns(i);
        for (int j = 0; j < Rows(i); ++j) {
            for (int s = 0; s < columns; ++s) {
                const std::string_view text = grid.GetArrayValue(i, j, s);
                if (text == kUnstored) Fail(CellName(i, j, s) + " was not stored");
                if (text.find('\n') != std::string::npos) Fail(CellName(i, j, s) + " holds a line feed");
                if (s == 0) {
                    if (text.find('"') != std::string::npos) Fail(CellName(i, j, s) + " name holds a double quote");
                    continue;
                }
                if (text == kValueNotFound) continue;
                if (text.empty() || !IsValueStart(text[0]))
                    Fail(CellName(i, j, s) + " value \"" + std::string(text) + "\" does not start with a digit or minus sign");
                const char end = s == columns - 1 ? ';' : ',';
                if (text.find(end) != std::string::npos)
                    Fail(CellName(i, j, s) + " value \"" + std::string(text) + "\" holds its own separator");
            }
        }
    }
}

bool RowLoaded(const ValueGrid& grid, int i, int j) {
    for (int s = 1; s < Columns(i); ++s)
        if (grid.GetArrayValue(i, j, s) == kValueNotFound) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path dir = MakeScratchFolder("fuzz_load");
    g_input = dir / "rules.txt";
    g_saved = dir / "saved.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFile(g_input, std::string_view(reinterpret_cast<const char*>(data), size));

    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.rulesPath = g_input;
    for (int cell = 0; cell < kInUseCells; ++cell) s.grid.SetCell(cell, kUnstored);
    LoadDataFileToArray(s);
    CheckCellForms(s.grid);

    s.rulesPath = g_saved;
    if (!SaveArrayToDataFile(s)) Fail("the save of the loaded grid failed");
    if (ReadFile(g_saved) != FormatGrid(s, false)) Fail("the saved file differs from the grid's canonical text");

    RecordingErrorSink errors2;
    Session again(errors2, progress);
    again.rulesPath = g_saved;
    LoadDataFileToArray(again);
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j) {
            if (!RowLoaded(s.grid, i, j)) continue;
            for (int k = 0; k < Columns(i); ++k)
                if ((k == 0 ? CleanName(s.grid.GetArrayValue(i, j, k)) : std::string(s.grid.GetArrayValue(i, j, k))) !=
                    again.grid.GetArrayValue(i, j, k))
                    Fail("save and load again: " + CellName(i, j, k) + " was \"" + std::string(s.grid.GetArrayValue(i, j, k)) +
                         "\", then \"" + std::string(again.grid.GetArrayValue(i, j, k)) + "\"");
        }
    return 0;
}
