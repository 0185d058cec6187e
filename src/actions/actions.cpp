#include "actions/actions.h"

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <vector>

#include "catalogue/game_file.h"
#include "catalogue/layout.h"
#include "extract/extract.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "rules/load.h"
#include "rules/save.h"
#include "writeback/pipeline.h"

namespace quorvane {

namespace {

constexpr int kProgressMaximum = 43;

// Runs one action so that no exception ends the program: a failure that the
// action cannot report itself (memory running out) is reported here, and the
// progress is set back. Files the action was replacing stay as they were.
template <typename Action>
auto Guarded(Session& s, Action action) -> decltype(action()) {
    try {
        return action();
    } catch (const std::bad_alloc&) {
        s.Report("Not enough memory; the action stopped.");
    } catch (const std::exception& e) {
        s.Report("The action stopped: ", e.what());
    }
    s.progress().Reset();
    return decltype(action())();
}

// Passes every report on and keeps what the status line needs: how many
// problems an action met, and which files it could not open.
class CountingErrorSink : public ErrorSink {
public:
    explicit CountingErrorSink(ErrorSink& inner) : inner_(inner) {}
    void Report(const std::string& text) override {
        ++count;
        inner_.Report(text);
    }
    void ReportProblem(const Problem& problem) override {
        ++count;
        if (problem.code == ProblemCode::OpenFailed) unopened.push_back(problem.path);
        inner_.ReportProblem(problem);
    }
    bool Unopened(const std::filesystem::path& path) const {
        return std::find(unopened.begin(), unopened.end(), path) != unopened.end();
    }
    std::size_t count = 0;
    std::vector<std::filesystem::path> unopened;  // the files reported as not opened, in order

private:
    ErrorSink& inner_;
};

std::string Counted(long long n, const char* one, const char* many) {
    return GroupedNumber(n) + " " + (n == 1 ? one : many);
}

// " 1 problem was found." / " 3 problems were found."; empty for none.
std::string ProblemsSentence(std::size_t n) {
    if (n == 0) return {};
    if (n == 1) return " 1 problem was found.";
    std::string text = " ";
    text += GroupedNumber(static_cast<long long>(n));
    return text + " problems were found.";
}

// The rules file as the status line names it: its bare file name.
std::string FileNameOf(const std::filesystem::path& path) {
    const std::string name = PathText(path.filename());
    if (!name.empty()) return name;
    return path.empty() ? "the rules file" : PathText(path);
}

std::filesystem::path GameFilePath(const Session& s, GameFile f) { return GamePath(s.gameFolder, GameFileName(f)); }

// A rules file that is one of the game files (or a backup of one) would
// replace it with text: refused before anything is read or written.
bool RefusesGameFileTarget(Session& s) {
    if (!IsGameFileOrBackup(s.gameFolder, s.rulesPath)) return false;
    s.Report(GameFileTargetRefusal(s.rulesPath));
    return true;
}

int ReadableValues(const ValueGrid& grid) {
    int n = 0;
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 0; step < Columns(i); ++step) n += grid.GetArrayValue(i, j, step) != kValueNotFound ? 1 : 0;
    return n;
}

GameBytes ReadGameFiles(const Session& s) {
    GameBytes bytes;
    for (GameFile f : GameFileOpenOrder()) ReadWholeFile(GameFilePath(s, f), &bytes[static_cast<std::size_t>(f)]);
    return bytes;
}

// True when the value's bytes at place differ between the two images; a place
// that only one of them holds differs too.
bool PlaceDiffers(const GameBytes& before, const GameBytes& after, const Place& place, int width) {
    const std::string& a = before[static_cast<std::size_t>(place.file)];
    const std::string& b = after[static_cast<std::size_t>(place.file)];
    const auto at = static_cast<std::size_t>(place.offset);
    const auto n = static_cast<std::size_t>(width);
    const bool inA = a.size() >= at + n;
    const bool inB = b.size() >= at + n;
    if (!inA || !inB) return inA != inB;
    return a.compare(at, n, b, at, n) != 0;
}

// "A", "A and B", "A, B and C".
std::string JoinWithAnd(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) out += k + 1 == parts.size() ? " and " : ", ";
        out += parts[k];
    }
    return out;
}

std::string ExtractStatus(Session& s, const CountingErrorSink& sink) {
    const std::string rules = FileNameOf(s.rulesPath);
    if (sink.Unopened(s.rulesPath))
        return "Extraction found " + Counted(static_cast<long long>(sink.count), "problem", "problems") + "; " + rules +
               " was not written.";
    int files = 0;
    for (GameFile f : GameFileOpenOrder()) files += sink.Unopened(GameFilePath(s, f)) ? 0 : 1;
    return "Extracted " + Counted(ReadableValues(s.grid), "value", "values") + " from " +
           Counted(files, "game file", "game files") + " into " + rules + "." + ProblemsSentence(sink.count);
}

std::string LoadStatus(Session& s, const CountingErrorSink& sink, bool read) {
    const std::string rules = FileNameOf(s.rulesPath);
    if (!read) return "Load of " + rules + " failed; the editor's data is unchanged.";
    if (sink.count > 0)
        return "Load of " + rules + " found " + Counted(static_cast<long long>(sink.count), "problem", "problems") +
               ".";
    return "Loaded " + Counted(ReadableValues(s.grid), "value", "values") + " from " + rules + ".";
}

std::string SaveStatus(Session& s, bool written) {
    const std::string rules = FileNameOf(s.rulesPath);
    if (!written) return "Save to " + rules + " failed; the file was not changed.";
    return "Saved " + Counted(kInUseCells, "value", "values") + " into " + rules + ".";
}

std::string WriteStatus(Session& s, const CountingErrorSink& sink, const GameBytes& before) {
    const std::array<int, kGameFileCount> changed = ChangedValues(before, ReadGameFiles(s));
    std::vector<std::string> writes;
    std::vector<std::string> backups;
    for (GameFile f : GameFileOpenOrder()) {
        const int n = changed[static_cast<std::size_t>(f)];
        if (n == 0) continue;
        const std::string name = GameFileName(f);
        writes.push_back(writes.empty() ? Counted(n, "changed value", "changed values") + " into " + name
                                        : GroupedNumber(n) + " into " + name);
        std::filesystem::path backup = GameFilePath(s, f);
        backup += ".bak";
        std::error_code ec;
        if (std::filesystem::exists(backup, ec)) backups.push_back(name + ".bak");
    }
    const std::string problems = ProblemsSentence(sink.count);
    if (writes.empty()) {
        if (sink.count > 0) return "No value was written into the game files." + problems;
        return "The game files already held every value of " + FileNameOf(s.rulesPath) + "; nothing was changed.";
    }
    std::string text = "Wrote " + JoinWithAnd(writes);
    if (!backups.empty()) text += (backups.size() == 1 ? "; backup " : "; backups ") + JoinWithAnd(backups) + " kept";
    return text + "." + problems;
}

}  // namespace

std::array<int, kGameFileCount> ChangedValues(const GameBytes& before, const GameBytes& after) {
    std::array<int, kGameFileCount> changed{};
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 1; step < Columns(i); ++step) {
                const int width = FieldBytes(GetFieldKind(i, j, step));
                const Place first{GameFileOf(i), ValueOffset(i, j, step)};
                if (PlaceDiffers(before, after, first, width)) {
                    ++changed[static_cast<std::size_t>(first.file)];
                } else if (const std::optional<Place> copy = SecondCopyOf(i, j, step)) {
                    if (PlaceDiffers(before, after, *copy, width)) ++changed[static_cast<std::size_t>(copy->file)];
                }
            }
    return changed;
}

std::string GroupedNumber(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return n < 0 ? "-" + digits : digits;
}

bool ExtractCommand(Session& s) {
    if (RefusesGameFileTarget(s)) return false;
    return Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        // A run refused for a busy game folder changed nothing, the grid's
        // unsaved edits included.
        const bool ran = ExtractFromGameFiles(s);
        if (ran) {
            s.MarkLoaded();
            s.grid.TakeBaseline();
        }
        s.progress().Reset();
        return ran;
    });
}

bool LoadCommand(Session& s) {
    return Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        // A load that could not open its file leaves the grid, and any unsaved
        // edits in it, as they were.
        const bool read = LoadDataFileToArray(s);
        s.MarkLoaded();
        if (read) s.grid.TakeBaseline();
        s.progress().Reset();
        return read;
    });
}

bool SaveCommand(Session& s) {
    if (RefusesGameFileTarget(s)) return false;
    return Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        const bool written = SaveArrayToDataFile(s);
        s.progress().Reset();
        return written;
    });
}

void WriteCommand(Session& s) {
    if (s.grid.GetArrayValue(0, 0, 0) == kNotSet) {
        s.Report(kWriteRefusal);
        return;
    }
    WriteRulesCommand(s);
}

void WriteRulesCommand(Session& s) {
    Guarded(s, [&] {
        s.progress().Begin(0, kProgressMaximum);
        WriteRulesToGameFiles(s);
        s.progress().Reset();
    });
}

CommandOutcome RunCommandWithStatus(Session& s, FileAction action) {
    ErrorSink& inner = s.errors();
    CountingErrorSink sink(inner);
    s.SetErrorSink(sink);
    CommandOutcome outcome;
    switch (action) {
    case FileAction::Extract:
        outcome.gridReplaced = ExtractCommand(s);
        outcome.status =
            outcome.gridReplaced ? ExtractStatus(s, sink) : "Nothing was extracted." + ProblemsSentence(sink.count);
        break;
    case FileAction::Load:
        outcome.gridReplaced = LoadCommand(s);
        outcome.status = LoadStatus(s, sink, outcome.gridReplaced);
        break;
    case FileAction::Save:
        outcome.saved = SaveCommand(s);
        outcome.status = SaveStatus(s, outcome.saved);
        break;
    case FileAction::Write:
        if (s.grid.GetArrayValue(0, 0, 0) == kNotSet) {
            WriteCommand(s);
            outcome.status = "Nothing was written: no data has been loaded or extracted yet.";
        } else {
            const GameBytes before = ReadGameFiles(s);
            WriteCommand(s);
            outcome.status = WriteStatus(s, sink, before);
        }
        break;
    }
    s.SetErrorSink(inner);
    return outcome;
}

}  // namespace quorvane
