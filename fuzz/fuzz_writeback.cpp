// Fuzz target for the rules lookup and the write pipeline: the input is a
// rules file, written into the six files of a synthetic game folder. A
// pristine copy of the folder is made once; before every input the work
// folder is put back to it (and its backups removed). After the write:
//  - no game file changed its length;
//  - no byte changed outside the places the layout gives the value cells
//    (each cell's own place and width, its second copies, the tower count's
//    copy);
//  - no report says a file could not be opened or written;
//  - where a game file was written, its backup holds the pristine bytes;
//  - when a byte changed: extracting the folder again reports nothing, the
//    extracted rules file and a save of the extracted grid differ only by
//    the save's final empty line, and loading the saved file gives back
//    every cell's text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/session.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "extract/extract.h"
#include "fuzz_support.h"
#include "rules/file_io.h"
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
                for (const Place& p : SecondCopies(i, j, s)) Allow(p.file, p.offset, width);
            }
    Allow(GameFile::Magic, kTowersOffset, 1);
    Allow(GameFile::Magic, kTowersCopyOffset, 1);
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
    s.gameFolder = g.work.string();
    s.rulesPath = g.extracted.string();
    ExtractFromGameFiles(s);
    RequireNoReports(errors, "extraction after write-back");

    s.rulesPath = g.saved.string();
    if (!SaveArrayToDataFile(s)) Fail("the save of the extracted grid failed");
    RequireNoReports(errors, "save after extraction");
    if (ReadFile(g.saved) != ReadFile(g.extracted) + kLineEnd)
        Fail("the extracted rules file and the save of its grid differ by more than the final empty line");

    RecordingErrorSink errors2;
    Session again(errors2, progress);
    again.rulesPath = g.saved.string();
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
    std::string failed;
    if (!WriteSampleGame(g.work.string(), 1, &failed)) Fail("cannot write the sample game: " + failed);

    // Write the sample's own values back once, so that the second copies the
    // synthetic files leave random agree with their first places; the folder
    // as it is then is the pristine state.
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.work.string();
    s.rulesPath = g.rules.string();
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
    s.gameFolder = g.work.string();
    s.rulesPath = g.rules.string();
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
    if (changed) CheckRoundTrip();
    return 0;
}
