// Helpers shared by the core tests: temporary folders, whole-file access,
// sample game folders and rules files made from the grid.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "session/session.h"
#include "catalogue/layout.h"

namespace quorvane::test {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// A relative path written with '/' in the system's own separators.
std::string Native(const std::string& path);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& content);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

// A session with recording sinks, for one test.
struct Fixture {
    RecordingErrorSink errors;
    CountingProgress progress;
    Session session{errors, progress};
};

// What a run of quorvane-cli printed and ended with.
struct CliRun {
    int status;  // the exit status; -1 when it did not end by itself
    std::string out;
    std::string err;
};

// Runs quorvane-cli with the arguments (plain words, no quoting) in folder
// cwd, through the system's shell; its output goes through files in scratch.
// A run that has not ended after two minutes is stopped (status -1).
CliRun Cli(const std::string& cwd, const std::string& args, const TempDir& scratch);

// Makes a sample game in dir (seed 7 unless given).
void MakeSampleGame(const std::filesystem::path& dir, std::uint32_t seed = 7);

// The game file of a sample folder, as bytes.
std::vector<std::uint8_t> GameBytes(const std::filesystem::path& dir, GameFile f);

// 1-based line number, in a saved rules file, of the record line of row j of
// section i.
int RecordLineNumber(int i, int j);

// Splits a rules file at CR LF into lines (the final empty piece dropped).
std::vector<std::string> SplitLines(const std::string& content);
std::string JoinLines(const std::vector<std::string>& lines);

// The lines with one to four random faults: a character inserted, removed
// or replaced (a digit mostly by another digit), from separators, signs,
// blanks, digits, letters, quotes, CRs and bytes from 0x80 up. next() gives
// the random numbers.
std::vector<std::string> Mutated(std::vector<std::string> lines, const std::function<std::uint32_t()>& next);

// Where each recorded problem lies: its rules line, section, row and column.
using ProblemPlace = std::tuple<int, int, int, int>;
std::vector<ProblemPlace> PlacesOf(const RecordingErrorSink& errors);

// Fills every in-use cell of the grid with a valid value of its kind (names
// "Row i j") so that FormatGrid gives a canonical file.
void FillValidGrid(Session& s);

}  // namespace quorvane::test
