#include "writeback/pipeline.h"

#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "rules/file_io.h"
#include "writeback/lookup.h"
#include "writeback/writers.h"

namespace quorvane {

namespace {

void CellProblem(Session& s, int i, int line, const char* message) {
    s.Report("Line: ", Int2Str(line), " In ", "[", Header(i), "]", " section ", message);
}

}  // namespace

void WriteRulesValue(Session& s, int i, int j, int step, GameImages& games, LineSource& rules) {
    const LookupResult found = FindRulesNumber(s, i, j, step, rules);
    if (step == 0) return;
    // A value the lookup could not read cleanly is never written: its "0" or
    // its short flag text would overwrite the game's value.
    if (found.valueProblem) return;

    const FieldKind kind = GetFieldKind(i, j, step);
    std::string value = found.value;
    bool overflow = found.overflow;
    const long long n = LeadingNumber(value, &overflow);
    overflow = overflow || found.overflow;

    const bool towers = i == kMapGenerationSection && j == kTowersRow;
    if (i == kDestroyedItemsSection) {
        // Only the two code words may go there: any other word overwrites
        // machine code.
        if (overflow || (n != 50 && n != 25)) {
            CellProblem(s, i, found.recordLine, " Value Must Be Either 25 or 50.");
            return;
        }
        value = n == 50 ? Int2Str(kCode50) : Int2Str(kCode25);
    } else if (towers) {
        // The copy holds the count plus 6 in one byte.
        if (overflow || n < 0 || n > 255 - kTowersCopyAdd) {
            CellProblem(s, i, found.recordLine, " Value out of range.");
            return;
        }
    } else if (kind != FieldKind::BitFlags) {
        const long long maximum = kind == FieldKind::Byte ? 255 : 65535;
        if (overflow || n < 0 || n > maximum) {
            CellProblem(s, i, found.recordLine, " Value out of range.");
            return;
        }
    }

    struct Target {
        GameFileImage* file;
        int offset;
        std::string text;
    };
    std::vector<Target> targets;
    const int width = towers ? 1 : FieldBytes(kind);
    if (towers) {
        GameFileImage& magic = ImageOf(games, GameFile::Magic);
        targets.push_back({&magic, kTowersOffset, value});
        targets.push_back({&magic, kTowersCopyOffset, Int2Str(n + kTowersCopyAdd)});
    } else {
        targets.push_back({&ImageOf(games, GameFileOf(i)), ValueOffset(i, j, step), value});
        for (const Place& p : SecondCopies(i, j, step)) targets.push_back({&ImageOf(games, p.file), p.offset, value});
    }
    // Nothing is written past a game file's end, and a cell is written either
    // at all its places in the open files or nowhere.
    for (const Target& t : targets) {
        if (t.file->IsOpen() && !t.file->Holds(t.offset, width)) {
            CellProblem(s, i, found.recordLine, " Place beyond end of game file.");
            return;
        }
    }
    for (const Target& t : targets) {
        if (!t.file->IsOpen()) continue;
        if (towers) WriteBYTE(*t.file, t.offset, t.text, s.log);
        else WriteField(i, j, step, *t.file, t.offset, t.text, s.log);
    }
}

void WriteSectionToGame(Session& s, int i, GameImages& games, LineSource& rules) {
    for (int j = 0; j < Rows(i); ++j)
        for (int step = 0; step < Columns(i); ++step) WriteRulesValue(s, i, j, step, games, rules);
}

int WriteRulesToGameFiles(Session& s) {
    std::string content;
    if (!IsWritableFile(s.rulesPath) || !ReadWholeFile(s.rulesPath, &content)) {
        s.Report("Error opening ", s.rulesPath);
        return 0;
    }
    LineSource rules(std::move(content), /*textMode=*/true);

    GameImages games;
    for (GameFile f : GameFileOpenOrder()) {
        const std::string path = GamePath(s.gameFolder, GameFileName(f));
        if (!ImageOf(games, f).Open(path)) s.Report("Error opening ", path);
    }

    s.reader.LineNumber = 0;
    s.reader.position = 0;
    for (int i = 0; i < kSectionCount; ++i) {
        WriteSectionToGame(s, i, games, rules);
        s.progress().Step();
    }

    for (GameFile f : GameFileOpenOrder()) {
        GameFileImage& image = ImageOf(games, f);
        std::string failed;
        if (!image.Commit(&failed)) s.Report("Error opening ", failed);
        image.Close();
    }
    return 0;
}

}  // namespace quorvane
