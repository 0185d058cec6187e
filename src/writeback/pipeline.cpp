#include "writeback/pipeline.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "catalogue/readers.h"
#include "io/file_io.h"
#include "rules/record_reader.h"
#include "writeback/lookup.h"
#include "writeback/writers.h"

namespace quorvane {

namespace {

void CellProblem(Session& s, int line, int i, int j, int step, const char* message) {
    s.ReportProblem(LineProblem(ProblemCode::RecordLine, line, i, j, step, message));
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

// True when every place of the cell in an open game file lies inside it:
// nothing is written past a game file's end, and a cell is written either at
// all its places in the open files or nowhere.
bool FitsGameFiles(const CellSpot& spot, const GameImages& games) {
    const int width = FieldBytes(spot.kind);
    const GameFileImage& first = ImageOf(games, spot.file);
    if (first.IsOpen() && !first.Holds(spot.offset, width)) return false;
    if (!spot.hasCopy) return true;
    const GameFileImage& copy = ImageOf(games, spot.copy.file);
    return !copy.IsOpen() || copy.Holds(spot.copy.offset, width);
}

// Writes a value (already read and checked) at each of the cell's places in
// the open game files, each encoded by its place's codec: a flag text as its
// bits, a number as one byte or one word.
void PutCell(const CellSpot& spot, long long n, std::string_view flags, GameImages& games, DebugLog& log) {
    const auto put = [&](GameFile f, int offset, Codec id) {
        GameFileImage& file = ImageOf(games, f);
        if (!file.IsOpen()) return;
        const FieldCodec& codec = CodecOf(id);
        if (codec.IsFlags()) WriteFlagText(file, offset, flags, log);
        else if (codec.bytes == 2) WriteWord(file, offset, codec.Encode(static_cast<int>(n)), log);
        else WriteBYTE(file, offset, codec.Encode(static_cast<int>(n)), log);
    };
    put(spot.file, spot.offset, spot.codec);
    if (spot.hasCopy) put(spot.copy.file, spot.copy.offset, spot.copy.codec);
}

}  // namespace

void WriteRulesValue(Session& s, int i, int j, int step, int cell, GameImages& games, LineSource& rules,
                     LookupResult& found) {
    const CellSpot& spot = SpotOf(cell);
    const FieldCodec& codec = CodecOf(spot);
    FindRulesNumber(s, i, j, step, codec, rules, found);
    // The section's values are still staged (see WriteSectionToGame): none
    // of them will be written.
    if (found.endMissing) CellProblem(s, found.endLine, i, -1, -1, kRowsDoNotLineUp);
    if (step == 0) return;
    // A value the lookup could not read cleanly is never written: its "0" or
    // its malformed flag text would overwrite the game's value.
    if (found.valueProblem) return;

    if (const char* refusal = CellRefusal(spot, found.number, found.overflow)) {
        CellProblem(s, found.recordLine, i, j, step, refusal);
        return;
    }
    if (!FitsGameFiles(spot, games)) {
        CellProblem(s, found.recordLine, i, j, step, " Place beyond end of game file.");
        return;
    }
    PutCell(spot, found.number, found.value, games, s.log);
}

namespace {


// One value of a row, read and checked, waiting to be written.
struct CleanValue {
    long long number = 0;
    std::string_view flags;
};

// Reads the values of row line (columns 1 .. last, the row's first cell at
// rowCell, the read position where the lookup left it after the name) the
// way the lookup does, when every one of them is clean: in its exact form,
// numbers in range, places inside the game files. Returns false at the
// first value that is not; nothing has been reported or changed then, and
// the caller takes the row cell by cell, which reports. Rows are read this
// way only with the debug log closed (the cell-by-cell path writes its
// trace) and never for a section's last row (whose last value is followed by
// the end check).
bool ReadCleanRow(int i, int rowCell, std::string_view line, std::size_t position, const GameImages& games,
                  CleanValue* values) {
    const CellSpot* const spots = &SpotOf(rowCell);
    return ScanCleanRow(line, position, Columns(i), [&](int step) { return spots[step].kind; },
                        [&](int step, const ValueScan& scan) {
                            const CellSpot& spot = spots[step];
                            CleanValue& out = values[step];
                            const FieldCodec& codec = CodecOf(spot);
                            if (codec.IsFlags()) {
                                out.flags = line.substr(scan.start, scan.end - scan.start);
                                return FitsGameFiles(spot, games);
                            }
                            const std::size_t digits = scan.start + (scan.negative ? 1 : 0);
                            const std::string_view value = line.substr(digits, scan.end - digits);
                            long long n = 0;
                            // The value is digits only and lies past the name
                            // field, so eight bytes before its end are the line's.
                            if (std::endian::native == std::endian::little && value.size() <= 8 && scan.end >= 8) {
                                n = EightDigitsValue(value);
                            } else {
                                bool overflow = false;
                                n = LeadingNumber(value, &overflow);
                                if (overflow) return false;
                            }
                            n = codec.FromText(n, scan.negative);
                            if (CellRefusal(spot, n, false)) return false;
                            out.number = n;
                            return FitsGameFiles(spot, games);
                        });
}

// Tells whether a record line stands in another row's place: its name is
// not the one the game files hold for its own row, but the one they hold for
// another row of the section. A name that matches no row (a rules file from a
// release with other names) is no sign of a move, and a row whose name cannot
// be read from the game files is not compared.
class MoveCheck {
public:
    MoveCheck(int i, const GameImages& games) : i_(i), games_(games) {}

    // name: the quoted name of row j's record line.
    bool Moved(int j, std::string_view name) {
        bool readable = true;
        if (CleansTo(NameView(i_, j, games_, &readable), name) || !readable) return false;
        if (names_.empty()) {
            // Read once, at the section's first differing name.
            for (int k = 0; k < Rows(i_); ++k) {
                names_.push_back(NameView(i_, k, games_, &readable));
                unreadable_.push_back(!readable);
            }
        }
        // Its own row's name differs, so a row holding it is another one.
        for (std::size_t k = 0; k < names_.size(); ++k)
            if (!unreadable_[k] && CleansTo(names_[k], name)) return true;
        return false;
    }

private:
    int i_;
    const GameImages& games_;
    std::vector<std::string_view> names_;  // as the game files hold them
    std::vector<bool> unreadable_;
};

}  // namespace

void WriteSectionToGame(Session& s, int i, GameImages& games, LineSource& rules) {
    // A section is written whole or not at all: its values stay staged until
    // its end shows that its rows lined up with the catalogue's. Rows that do
    // not would put every value into a neighbour's place.
    for (GameFileImage& image : games) image.BeginStage();
    bool misaligned = false;
    bool endChecked = false;
    int ranOut = 0;  // the line where a directive line stood in for a record line
    int moved = 0;   // the first record line that stands in another row's place
    MoveCheck moves(i, games);
    LookupResult found;
    const int rows = Rows(i);
    const int columns = Columns(i);
    // A clean row is read in one pass and written whole; see ReadCleanRow.
    const bool rowsAtOnce = !s.log.IsOpen();
    CleanValue values[kWidestRow];
    int cell = kSectionCellStart[static_cast<std::size_t>(i)];  // cells are visited in file order
    for (int j = 0; j < rows; ++j) {
        for (int step = 0; step < columns; ++step, ++cell) {
            WriteRulesValue(s, i, j, step, cell, games, rules, found);
            misaligned = misaligned || found.endMissing;
            endChecked = endChecked || found.endChecked;
            if (step != 0) continue;
            if (ranOut == 0 && IsDirectiveLine(s.reader.Line)) ranOut = found.recordLine;
            if (moved == 0 && found.named && moves.Moved(j, found.name)) moved = found.recordLine;
            if (rowsAtOnce && j + 1 < rows && ReadCleanRow(i, cell, s.reader.Line, s.reader.position, games, values)) {
                const CellSpot* const spots = &SpotOf(cell);
                for (int k = 1; k < columns; ++k) PutCell(spots[k], values[k].number, values[k].flags, games, s.log);
                // Where the cell-by-cell lookup leaves the reader after a
                // row's last value.
                s.reader.position = 0;
                cell += columns;
                break;
            }
        }
    }
    // When the last value could not be read the lookup leaves the end line
    // unread; it must still be there (unless the file has ended, when no
    // later row was read at all).
    if (!misaligned && ranOut == 0 && !endChecked && !rules.Failed() &&
        rules.PeekLine().find(Header(kHeaderEnd)) == std::string_view::npos)
        ranOut = s.reader.LineNumber + 1;
    if (ranOut == 0) ranOut = moved;
    if (!misaligned && ranOut != 0) {
        CellProblem(s, ranOut, i, -1, -1, kRowsDoNotLineUp);
        misaligned = true;
    }
    for (GameFileImage& image : games) {
        if (misaligned) image.RollbackStage();
        else image.EndStage();
    }
}

bool ReadRulesForWriting(Session& s, std::string* content) {
    // The file is only read: a read-only rules file is written from.
    if (ReadWholeFile(s.rulesPath, content)) return true;
    s.ReportProblem(Problem::OpenFailed(s.rulesPath));
    return false;
}

void WriteRulesIntoImages(Session& s, std::string rulesText, GameImages& games) {
    LineSource rules(std::move(rulesText), /*textMode=*/true);
    OpenGameImages(games, s.gameFolder, GameFileImage::Access::ReadWrite, &s.errors());
    s.reader.LineNumber = 0;
    s.reader.position = 0;
    for (int i = 0; i < kSectionCount; ++i) {
        WriteSectionToGame(s, i, games, rules);
        s.progress().Step();
    }
    s.reader.Line = {};
}

int WriteRulesToGameFiles(Session& s) {
    // Also the folders a linked game file lies in: another install may write
    // the same file.
    GameFolderLocks lock;
    if (!lock.TryAcquire(s.gameFolder, GameFilePaths(s.gameFolder), /*writes=*/true)) {
        s.Report(lock.Refusal());
        return 0;
    }
    std::string content;
    if (!ReadRulesForWriting(s, &content)) return 0;
    GameImages games;
    WriteRulesIntoImages(s, std::move(content), games);
    for (GameFile f : GameFileOpenOrder()) {
        GameFileImage& image = ImageOf(games, f);
        image.Commit(s.errors());
        image.Close();
    }
    return 0;
}

}  // namespace quorvane
