// Fuzz target for the rules lookup and the write pipeline: the input is a
// rules file, written into the six files of a synthetic game folder. A
// pristine copy of the folder is made once; before every input the work
// folder is put back to it (and its backups removed). After the write:
//  - no game file changed its length;
//  - no byte changed outside the places the layout gives the value cells
//    (each cell's own place and width, and its further place);
//  - no report says a file could not be opened or written;
//  - where a game file was written, its backup holds the pristine bytes;
//  - a section whose rows do not line up with the catalogue's (seen by an
//    independent reading of the input's lines) changed no byte: no value
//    went into a neighbour's place;
//  - when a byte changed: extracting the folder again reports nothing, the
//    extracted rules file and a save of the extracted grid differ only by
//    the save's final empty line, and loading the saved file gives back
//    every cell's text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "session/session.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "extract/extract.h"
#include "fuzz_support.h"
#include "io/file_io.h"
#include "rules/format.h"
#include "rules/load.h"
#include "rules/save.h"
#include "sample/sample_game.h"
#include "writeback/pipeline.h"

namespace {

using namespace quorvane;
using namespace quorvane::fuzz;

struct State {
    fs::path work;
    fs::path rules;
    fs::path extracted;
    fs::path saved;
    std::array<std::string, kGameFileCount> pristine;
    std::array<std::vector<bool>, kGameFileCount> writable;  // bytes write-back may change
    std::array<bool, kGameFileCount> mayDiffer{true, true, true, true, true, true};  // from the pristine bytes
};

State g;

struct SectionPlace {
    GameFile file;
    long long offset;
    int width;
};
std::array<std::vector<SectionPlace>, kSectionCount> sectionPlaces;

enum class Alignment { LinesUp, DoesNot, Unknown };

// How the input's lines fall into sections, read independently of the
// lookup: after a section's directive line come its rows' record lines, then
// a line holding END. A directive line among the rows, or no END after them,
// means the rows do not line up. Past a line whose reading is ambiguous the
// rest is Unknown.
std::array<Alignment, kSectionCount> Alignments(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t nl = text.find('\n', pos);
        std::string line(text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos));
        if (nl != std::string_view::npos && !line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
    }
    std::array<Alignment, kSectionCount> result;
    result.fill(Alignment::Unknown);
    std::size_t p = 0;
    for (int i = 0; i < kSectionCount; ++i) {
        const std::string& header = Header(i);
        std::size_t d = p;
        while (d < lines.size() && lines[d].find(header) == std::string::npos) ++d;
        if (d >= lines.size() || d > 9000) return result;  // nothing more is read (or the search limit plays in)
        const std::size_t rows = static_cast<std::size_t>(Rows(i));
        if (d + rows + 1 >= lines.size()) return result;  // the file ends inside the section
        bool directiveRow = false;
        for (std::size_t k = d + 1; k <= d + rows; ++k) {
            const std::size_t first = lines[k].find_first_not_of(" \t");
            directiveRow = directiveRow || (first != std::string::npos && lines[k][first] == '[');
        }
        const std::string& after = lines[d + rows + 1];
        const bool lines_up = !directiveRow && after.find(Header(kHeaderEnd)) != std::string::npos;
        result[static_cast<std::size_t>(i)] = lines_up ? Alignment::LinesUp : Alignment::DoesNot;
        // The lookup reads the line after the rows or leaves it to the next
        // search: the same unless it holds the next directive.
        if (i + 1 < kSectionCount && after.find(Header(i + 1)) != std::string::npos) return result;
        p = d + rows + 1;
    }
    return result;
}

fs::path GameFilePath(int f) { return g.work / GameFileName(static_cast<GameFile>(f)); }

void Allow(GameFile file, long long offset, int width) {
    std::vector<bool>& bits = g.writable[static_cast<std::size_t>(file)];
    for (long long k = offset; k < offset + width; ++k)
        if (k >= 0 && static_cast<std::size_t>(k) < bits.size()) bits[static_cast<std::size_t>(k)] = true;
}

void ComputeWritablePlaces() {
    for (int f = 0; f < kGameFileCount; ++f) g.writable[static_cast<std::size_t>(f)].assign(g.pristine[static_cast<std::size_t>(f)].size(), false);
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 1; s < Columns(i); ++s) {
                const int width = FieldBytes(GetFieldKind(i, j, s));
                Allow(GameFileOf(i), ValueOffset(i, j, s), width);
                if (const auto p = SecondCopyOf(i, j, s)) Allow(p->file, p->offset, width);
            }
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 1; s < Columns(i); ++s) {
                const int width = FieldBytes(GetFieldKind(i, j, s));
                sectionPlaces[static_cast<std::size_t>(i)].push_back({GameFileOf(i), ValueOffset(i, j, s), width});
                if (const auto p = SecondCopyOf(i, j, s))
                    sectionPlaces[static_cast<std::size_t>(i)].push_back({p->file, p->offset, width});
            }
}

// Puts back the files the last input changed (all of them the first time)
// and removes the backups.
void RestoreWorkFolder() {
    for (int f = 0; f < kGameFileCount; ++f) {
        const auto fi = static_cast<std::size_t>(f);
        const fs::path path = GameFilePath(f);
        std::error_code ec;
        fs::remove(path.string() + ".bak", ec);
        if (g.mayDiffer[fi]) WriteFile(path, g.pristine[fi]);
        g.mayDiffer[fi] = false;
    }
}

// Extracts the work folder, saves the extracted grid and loads the save.
void CheckRoundTrip() {
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.work;
    s.rulesPath = g.extracted;
    ExtractFromGameFiles(s);
    RequireNoReports(errors, "extraction after write-back");

    s.rulesPath = g.saved;
    if (!SaveArrayToDataFile(s)) Fail("the save of the extracted grid failed");
    RequireNoReports(errors, "save after extraction");
    if (ReadFile(g.saved) != ReadFile(g.extracted) + kLineEnd)
        Fail("the extracted rules file and the save of its grid differ by more than the final empty line");

    RecordingErrorSink errors2;
    Session again(errors2, progress);
    again.rulesPath = g.saved;
    LoadDataFileToArray(again);
    RequireNoReports(errors2, "load of the saved extraction");
    RequireSameGrid(s.grid, again.grid, "extract, save and load again");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fs::path dir = MakeScratchFolder("fuzz_writeback");
    g.work = dir / "game";
    g.rules = dir / "rules.txt";
    g.extracted = dir / "extracted.txt";
    g.saved = dir / "saved.txt";
    fs::path failed;
    if (!WriteSampleGame(g.work, 1, &failed)) Fail("cannot write the sample game: " + failed.string());

    // Write the sample's own values back once, so that the second copies the
    // synthetic files leave random agree with their first places; the folder
    // as it is then is the pristine state.
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.work;
    s.rulesPath = g.rules;
    ExtractFromGameFiles(s);
    WriteRulesToGameFiles(s);
    RequireNoReports(errors, "extract and write-back of the sample game");
    for (int f = 0; f < kGameFileCount; ++f) g.pristine[static_cast<std::size_t>(f)] = ReadFile(GameFilePath(f));
    ComputeWritablePlaces();
    RestoreWorkFolder();  // removes the backups that write made
    CheckRoundTrip();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RestoreWorkFolder();
    WriteFile(g.rules, std::string_view(reinterpret_cast<const char*>(data), size));

    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.work;
    s.rulesPath = g.rules;
    WriteRulesToGameFiles(s);

    for (const std::string& text : errors.texts)
        if (text.rfind("Error opening ", 0) == 0) Fail("write-back reported \"" + text + "\"");

    bool changed = false;
    for (int f = 0; f < kGameFileCount; ++f) {
        const auto fi = static_cast<std::size_t>(f);
        const std::string now = ReadFile(GameFilePath(f));
        const std::string& before = g.pristine[fi];
        const std::string name = GameFileName(static_cast<GameFile>(f));
        if (now.size() != before.size())
            Fail(name + " changed its length from " + std::to_string(before.size()) + " to " + std::to_string(now.size()));
        const bool fileChanged = now != before;
        g.mayDiffer[fi] = fileChanged;
        for (std::size_t k = 0; fileChanged && k < now.size(); ++k) {
            if (now[k] == before[k]) continue;
            if (!g.writable[fi][k]) Fail(name + " changed at offset " + std::to_string(k) + ", which is no value's place");
        }
        changed = changed || fileChanged;
        const std::string backup = GameFilePath(f).string() + ".bak";
        std::error_code ec;
        if (fs::exists(backup, ec)) {
            if (ReadFile(backup) != before) Fail("the backup of " + name + " does not hold the untouched file");
        } else if (fileChanged) {
            Fail(name + " was changed without a backup");
        }
    }
    if (changed) {
        const auto alignments = Alignments(std::string_view(reinterpret_cast<const char*>(data), size));
        for (int i = 0; i < kSectionCount; ++i) {
            if (alignments[static_cast<std::size_t>(i)] != Alignment::DoesNot) continue;
            for (const SectionPlace& place : sectionPlaces[static_cast<std::size_t>(i)]) {
                const std::string now = ReadFile(GameFilePath(static_cast<int>(place.file)));
                const std::string& before = g.pristine[static_cast<std::size_t>(place.file)];
                const auto at = static_cast<std::size_t>(place.offset);
                if (at + static_cast<std::size_t>(place.width) <= now.size() &&
                    now.compare(at, static_cast<std::size_t>(place.width), before, at, static_cast<std::size_t>(place.width)) != 0)
                    Fail("section " + Header(i) + " does not line up, yet its place at " + std::to_string(at) + " was written");
            }
        }
        CheckRoundTrip();
    }
    return 0;
}
