#include "writeback/pipeline.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "writeback/lookup.h"
#include "writeback/writers.h"

namespace quorvane {

namespace {

void CellProblem(Session& s, int i, int line, const char* message) {
    s.Report("Line: ", Int2Str(line), " In ", "[", Header(i), "]", " section ", message);
}

constexpr const char* kRowsDoNotLineUp = " Rows do not line up: no value of this section was written.";

// A directive line ("[END]", "[SPELLS]", ...) read where a record line was
// expected: the section ran out of record lines.
bool IsDirectiveLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '[';
}

}  // namespace

namespace {

const char* RefusalAt(int i, const CellSpot& spot, long long n, bool overflow) {
    // Only the two code words may go to the destroyed-items place: any other
    // word overwrites machine code.
    if (i == kDestroyedItemsSection) return overflow || !IsDestroyedItemsValue(n) ? " Value Must Be Either 25 or 50." : nullptr;
    // A further place may hold the value plus a constant; that sum must fit
    // its field too.
    const long long maximum = (spot.kind == FieldKind::Byte ? 255 : 65535) - (spot.hasCopy ? spot.copy.add : 0);
    return overflow || n < 0 || n > maximum ? " Value out of range." : nullptr;
}

}  // namespace

const char* NumberRefusal(int i, int j, int step, long long n, bool overflow) {
    // A cell outside the catalogue is taken as a byte with no further place.
    static constexpr CellSpot kOutside{FieldKind::Byte, GameFile::Wizards, 0, false, {}};
    const int cell = CellIndex(i, j, step);
    return RefusalAt(i, cell < 0 ? kOutside : SpotOf(cell), n, overflow);
}

void WriteRulesValue(Session& s, int i, int j, int step, int cell, GameImages& games, LineSource& rules,
                     LookupResult& found) {
    const CellSpot& spot = SpotOf(cell);
    const FieldKind kind = spot.kind;
    FindRulesNumber(s, i, j, step, kind, rules, found);
    // The section's values are still staged (see WriteSectionToGame): none
    // of them will be written.
    if (found.endMissing) CellProblem(s, i, found.endLine, kRowsDoNotLineUp);
    if (step == 0) return;
    // A value the lookup could not read cleanly is never written: its "0" or
    // its malformed flag text would overwrite the game's value.
    if (found.valueProblem) return;

    const long long n = found.number;
    if (kind != FieldKind::BitFlags) {
        if (const char* refusal = RefusalAt(i, spot, n, found.overflow)) {
            CellProblem(s, i, found.recordLine, refusal);
            return;
        }
    }

    // A cell has its first place and at most one further place.
    struct Target {
        GameFileImage* file;
        int offset;
        int add;
    };
    Target targets[2] = {{&ImageOf(games, spot.file), spot.offset, 0}, {}};
    int count = 1;
    if (spot.hasCopy) targets[count++] = {&ImageOf(games, spot.copy.file), spot.copy.offset, spot.copy.add};
    const int width = FieldBytes(kind);
    // Nothing is written past a game file's end, and a cell is written either
    // at all its places in the open files or nowhere.
    for (int t = 0; t < count; ++t) {
        if (targets[t].file->IsOpen() && !targets[t].file->Holds(targets[t].offset, width)) {
            CellProblem(s, i, found.recordLine, " Place beyond end of game file.");
            return;
        }
    }
    // The value is written in its field kind: a flag text as its bits, a
    // number (already read and checked) as one byte or one word.
    const int number = i == kDestroyedItemsSection ? (n == 50 ? kCode50 : kCode25) : static_cast<int>(n);
    for (int t = 0; t < count; ++t) {
        GameFileImage& file = *targets[t].file;
        if (!file.IsOpen()) continue;
        const int offset = targets[t].offset;
        if (kind == FieldKind::BitFlags) WriteBitFlagHex8BitTest(file, offset, found.value, s.log);
        else if (kind == FieldKind::Word) WriteDWORD(file, offset, number + targets[t].add, s.log);
        else WriteBYTE(file, offset, number + targets[t].add, s.log);
    }
}

void WriteSectionToGame(Session& s, int i, GameImages& games, LineSource& rules) {
    // A section is written whole or not at all: its values stay staged until
    // its end shows that its rows lined up with the catalogue's. Rows that do
    // not would put every value into a neighbour's place.
    for (GameFileImage& image : games) image.BeginStage();
    bool misaligned = false;
    bool endChecked = false;
    int ranOut = 0;  // the line where a directive line stood in for a record line
    LookupResult found;
    int cell = kSectionCellStart[static_cast<std::size_t>(i)];  // cells are visited in file order
    for (int j = 0; j < Rows(i); ++j)
        for (int step = 0; step < Columns(i); ++step, ++cell) {
            WriteRulesValue(s, i, j, step, cell, games, rules, found);
            misaligned = misaligned || found.endMissing;
            endChecked = endChecked || found.endChecked;
            if (step == 0 && ranOut == 0 && IsDirectiveLine(s.reader.Line)) ranOut = found.recordLine;
        }
    // When the last value could not be read the lookup leaves the end line
    // unread; it must still be there (unless the file has ended, when no
    // later row was read at all).
    if (!misaligned && ranOut == 0 && !endChecked && !rules.Failed() &&
        rules.PeekLine().find(Header(kHeaderEnd)) == std::string_view::npos)
        ranOut = s.reader.LineNumber + 1;
    if (!misaligned && ranOut != 0) {
        CellProblem(s, i, ranOut, kRowsDoNotLineUp);
        misaligned = true;
    }
    for (GameFileImage& image : games) {
        if (misaligned) image.RollbackStage();
        else image.EndStage();
    }
}

void OpenGameImages(Session& s, GameImages& games) {
    for (GameFile f : GameFileOpenOrder()) {
        const auto path = GamePath(s.gameFolder, GameFileName(f));
        if (!ImageOf(games, f).Open(path)) s.Report("Error opening ", path);
    }
}

bool ReadRulesForWriting(Session& s, std::string* content) {
    if (IsWritableFile(s.rulesPath) && ReadWholeFile(s.rulesPath, content)) return true;
    s.Report("Error opening ", s.rulesPath);
    return false;
}

void WriteRulesIntoImages(Session& s, std::string rulesText, GameImages& games) {
    LineSource rules(std::move(rulesText), /*textMode=*/true);
    OpenGameImages(s, games);
    s.reader.LineNumber = 0;
    s.reader.position = 0;
    for (int i = 0; i < kSectionCount; ++i) {
        WriteSectionToGame(s, i, games, rules);
        s.progress().Step();
    }
    s.reader.Line = {};
}

int WriteRulesToGameFiles(Session& s) {
    FolderLock lock;
    if (!lock.TryAcquire(s.gameFolder)) {
        s.Report(FolderInUse(s.gameFolder));
        return 0;
    }
    std::string content;
    if (!ReadRulesForWriting(s, &content)) return 0;
    GameImages games;
    WriteRulesIntoImages(s, std::move(content), games);
    for (GameFile f : GameFileOpenOrder()) {
        GameFileImage& image = ImageOf(games, f);
        std::string problem;
        if (!image.Commit(&problem)) s.Report(problem);
        image.Close();
    }
    return 0;
}

}  // namespace quorvane
