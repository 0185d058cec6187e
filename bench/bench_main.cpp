// quorvane_bench: times extraction, load, save and write-back on a synthetic
// game folder, each with the debug log off and on, and beside them the plain
// file I/O each action cannot do without ("the floor"), measured in the same
// run on the same files:
//
//   extract     read the six game files whole, replace a file of the rules
//               file's size
//   load        read the rules file whole
//   save        replace a file of the rules file's size
//   write-back  read the six game files and the rules file whole (writing the
//               same rules file again changes no game byte, so nothing is
//               replaced)
//
// Reads use fopen/fread into a string sized to the file. A file is replaced
// as every file the editor writes is: a new file written with
// fopen/fwrite/fflush, flushed to disk with fsync, then renamed over the old
// one. All times are wall-clock times, with every file in the system's cache
// after the first iteration.
//
// No progress pacing: the progress sink does nothing. Every action runs with
// an error sink that must stay empty; a report aborts the run, since the time
// of a failing action means nothing. For "log on" the log is opened (not
// timed) before each iteration and closed (timed, it flushes) after it.
//
// After the run a table gives each action's times, its floor and the ratios.
// Any Google Benchmark flag may be passed (e.g. --benchmark_repetitions=5;
// the table then uses the medians).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "actions/actions.h"
#include "session/session.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"
#include "sample/sample_game.h"
#include "writeback/pipeline.h"

namespace {

namespace fs = std::filesystem;
using namespace quorvane;

struct Paths {
    fs::path root;
    std::string gameDir;
    std::vector<std::string> gameFiles;
    std::string rules;         // the rules file extracted from the sample; read by load and write-back
    std::string extractOut;    // written by extraction
    std::string saveOut;       // written by save
    std::string floorOut;      // written by the floors
    std::string log;           // the debug log, when on
    std::string rulesContent;  // what the rules file holds
    std::string savedContent;  // what a save of the same grid writes: one more empty line at the end
};

Paths g;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "quorvane_bench: %s\n", what.c_str());
    std::exit(2);
}

// A benchmark of an action that reported an error is worthless: stop.
void RequireClean(const RecordingErrorSink& errors, const char* action) {
    if (errors.texts.empty()) return;
    std::fprintf(stderr, "quorvane_bench: %s reported %zu error(s); the first:\n  %s\n", action, errors.texts.size(),
                 errors.texts.front().c_str());
    std::abort();
}

std::string ReadAll(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) Fail("cannot open " + path);
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    std::string data(static_cast<std::size_t>(size), '\0');
    const std::size_t got = std::fread(data.data(), 1, data.size(), f);
    std::fclose(f);
    if (got != data.size()) Fail("short read of " + path);
    return data;
}

// Replaces the file durably: a temporary file beside it, flushed to disk,
// renamed over it.
void WriteAll(const std::string& path, const std::string& data) {
    const std::string temp = path + ".floor";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) Fail("cannot create " + temp);
    const std::size_t put = std::fwrite(data.data(), 1, data.size(), f);
    const bool flushed = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    if (std::fclose(f) != 0 || put != data.size() || !flushed) Fail("short write of " + temp);
    if (std::rename(temp.c_str(), path.c_str()) != 0) Fail("cannot rename over " + path);
}

void Setup() {
    std::random_device rd;
    g.root = fs::temp_directory_path() / ("quorvane_bench_" + std::to_string(rd() % 1000000000U));
    std::error_code ec;
    fs::create_directories(g.root, ec);
    if (ec) Fail("cannot create " + g.root.string());
    g.gameDir = (g.root / "game").string();
    fs::path failed;
    if (!WriteSampleGame(g.gameDir, 1, &failed)) Fail("cannot write the sample game: " + failed.string());
    for (GameFile f : GameFileOpenOrder()) g.gameFiles.push_back(GamePath(g.gameDir, GameFileName(f)).string());
    g.rules = (g.root / "rules.txt").string();
    g.extractOut = (g.root / "extracted.txt").string();
    g.saveOut = (g.root / "saved.txt").string();
    g.floorOut = (g.root / "floor.txt").string();
    g.log = (g.root / "debug_log.txt").string();

    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.gameDir;
    s.rulesPath = g.rules;
    ExtractCommand(s);
    RequireClean(errors, "extract (setup)");
    g.rulesContent = ReadAll(g.rules);
    g.savedContent = g.rulesContent + kLineEnd;

    // Write once before timing, so that the backup copies every first write
    // makes already exist. That first write may change bytes: the sample's
    // second copies of a few values do not match their first places, and
    // write-back puts the value at both. From then on writing the same rules
    // file again must leave every game byte as it is.
    WriteRulesToGameFiles(s);
    RequireClean(errors, "write-back (setup)");
    std::vector<std::string> before;
    for (const auto& p : g.gameFiles) before.push_back(ReadAll(p));
    WriteRulesToGameFiles(s);
    RequireClean(errors, "write-back (setup)");
    for (std::size_t k = 0; k < g.gameFiles.size(); ++k)
        if (ReadAll(g.gameFiles[k]) != before[k]) Fail("writing the same rules file twice changed " + g.gameFiles[k]);
}

void Teardown() {
    std::error_code ec;
    fs::remove_all(g.root, ec);
}

// Runs one action per iteration, with the log opened before it (untimed) when
// logOn, and closed after it (timed).
template <typename Action>
void RunAction(benchmark::State& state, Session& s, bool logOn, Action&& action) {
    for (auto _ : state) {
        if (logOn) {
            state.PauseTiming();
            if (!s.log.Open(g.log)) Fail("cannot open the debug log " + g.log);
            state.ResumeTiming();
        }
        action();
        s.log.Close();
    }
}

void BM_Extract(benchmark::State& state, bool logOn) {
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.gameDir;
    s.rulesPath = g.extractOut;
    RunAction(state, s, logOn, [&] {
        ExtractCommand(s);
        RequireClean(errors, "extract");
    });
    if (ReadAll(g.extractOut) != g.rulesContent) Fail("extraction wrote a different rules file");
}

void BM_Load(benchmark::State& state, bool logOn) {
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.rulesPath = g.rules;
    RunAction(state, s, logOn, [&] {
        LoadCommand(s);
        RequireClean(errors, "load");
    });
    s.rulesPath = g.saveOut;
    if (!SaveCommand(s) || ReadAll(g.saveOut) != g.savedContent) Fail("load did not read back the rules file");
}

void BM_Save(benchmark::State& state, bool logOn) {
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.rulesPath = g.rules;
    LoadCommand(s);
    RequireClean(errors, "load (setup)");
    s.rulesPath = g.saveOut;
    RunAction(state, s, logOn, [&] {
        if (!SaveCommand(s)) RequireClean(errors, "save"), Fail("save returned false without a report");
        RequireClean(errors, "save");
    });
    if (ReadAll(g.saveOut) != g.savedContent) Fail("save wrote a different rules file");
}

void BM_WriteBack(benchmark::State& state, bool logOn) {
    RecordingErrorSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.gameFolder = g.gameDir;
    s.rulesPath = g.rules;
    LoadCommand(s);  // the grid must be loaded, or the action refuses
    RequireClean(errors, "load (setup)");
    RunAction(state, s, logOn, [&] {
        WriteCommand(s);
        RequireClean(errors, "write-back");
    });
}

void BM_FloorExtract(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& p : g.gameFiles) benchmark::DoNotOptimize(ReadAll(p));
        WriteAll(g.floorOut, g.rulesContent);
    }
}

void BM_FloorLoad(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadAll(g.rules));
}

void BM_FloorSave(benchmark::State& state) {
    for (auto _ : state) WriteAll(g.floorOut, g.rulesContent);
}

void BM_FloorWriteBack(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& p : g.gameFiles) benchmark::DoNotOptimize(ReadAll(p));
        benchmark::DoNotOptimize(ReadAll(g.rules));
    }
}

// Passes everything to the console and keeps each benchmark's wall and CPU
// time per iteration, in microseconds (the medians when runs are repeated).
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}
    struct Times {
        double wall = -1, cpu = -1;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
            const double toMicros = 1e6 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            times[r.run_name.function_name] = {r.GetAdjustedRealTime() * toMicros, r.GetAdjustedCPUTime() * toMicros};
        }
    }
    std::map<std::string, Times> times;
};

struct Row {
    const char* action;
    const char* name;
};
constexpr Row kRows[] = {{"extract", "Extract"}, {"load", "Load"}, {"save", "Save"}, {"write-back", "WriteBack"}};

std::string Cell(double v, const char* fmt) {
    char buf[32];
    if (v < 0) std::snprintf(buf, sizeof buf, "%11s", "-");
    else std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// Each action with the log off should take at most this many times its floor.
constexpr double kTarget = 3.0;

// Prints one table, of wall or of CPU times; returns the number of actions
// over the target, or -1 when a figure is missing.
int PrintTable(const TableReporter& rep, bool wall) {
    auto find = [&](const std::string& name) -> double {
        const auto it = rep.times.find(name);
        if (it == rep.times.end()) return -1;
        return wall ? it->second.wall : it->second.cpu;
    };
    int over = 0;
    bool missing = false;
    std::printf("\n%s time per action, microseconds; floor = the plain file I/O the action needs\n",
                wall ? "Wall" : "CPU");
    std::printf("%-11s%11s%11s%11s%11s%11s\n", "action", "log off", "log on", "floor", "off/floor", "on/floor");
    for (const Row& row : kRows) {
        const std::string base = row.name;
        const double off = find(base + "/log_off"), on = find(base + "/log_on"), floor = find("Floor/" + base);
        const double rOff = off >= 0 && floor > 0 ? off / floor : -1;
        const double rOn = on >= 0 && floor > 0 ? on / floor : -1;
        if (rOff < 0) missing = true;
        else if (rOff > kTarget) ++over;
        std::printf("%-11s%s%s%s%s%s\n", row.action, Cell(off, "%11.1f").c_str(), Cell(on, "%11.1f").c_str(),
                    Cell(floor, "%11.1f").c_str(), Cell(rOff, "%10.2fx").c_str(), Cell(rOn, "%10.2fx").c_str());
    }
    return missing ? -1 : over;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Setup();

    const struct {
        const char* name;
        void (*fn)(benchmark::State&, bool);
    } actions[] = {{"Extract", BM_Extract}, {"Load", BM_Load}, {"Save", BM_Save}, {"WriteBack", BM_WriteBack}};
    for (const auto& a : actions) {
        benchmark::RegisterBenchmark((std::string(a.name) + "/log_off").c_str(), a.fn, false)
            ->Unit(benchmark::kMicrosecond)->UseRealTime();
        benchmark::RegisterBenchmark((std::string(a.name) + "/log_on").c_str(), a.fn, true)
            ->Unit(benchmark::kMicrosecond)->UseRealTime();
    }
    benchmark::RegisterBenchmark("Floor/Extract", BM_FloorExtract)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Floor/Load", BM_FloorLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Floor/Save", BM_FloorSave)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("Floor/WriteBack", BM_FloorWriteBack)->Unit(benchmark::kMicrosecond)->UseRealTime();

    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const int over = PrintTable(reporter, /*wall=*/true);
    PrintTable(reporter, /*wall=*/false);
    std::printf("\nTarget, on wall time: every action with the log off within %gx its floor: %s\n", kTarget,
                over < 0 ? "not measured (an action or floor was not run)" : over == 0 ? "met" : "MISSED");
    Teardown();
    return 0;
}
