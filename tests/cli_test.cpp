#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/layout.h"
#include "test_util.h"

namespace quorvane {
namespace {

using test::TempDir;

using test::Cli;
using test::CliRun;

TEST(Cli, RoundTripOnASampleGame) {
    TempDir dir;
    const std::string g = dir.File("g");
    ASSERT_EQ(Cli(dir.path(), "sample-game g --seed 11", dir).status, 0);
    const auto wizards = test::ReadBytes(g + "/WIZARDS.EXE");
    CliRun r = Cli(g, "extract --rules r.txt", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    r = Cli(g, "load --rules r.txt --save s.txt", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(test::ReadFile(g + "/s.txt"), test::ReadFile(g + "/r.txt") + "\r\n");
    r = Cli(g, "write --rules r.txt", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::ReadBytes(g + "/WIZARDS.EXE.bak"), wizards);
    // The same seed gives the same files; another seed other files.
    ASSERT_EQ(Cli(dir.path(), "sample-game h --seed 11", dir).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.File("h/MAGIC.EXE")), test::ReadBytes(g + "/MAGIC.EXE.bak"));
    ASSERT_EQ(Cli(dir.path(), "sample-game k --seed 12", dir).status, 0);
    EXPECT_NE(test::ReadBytes(dir.File("k/MAGIC.EXE")), test::ReadBytes(g + "/MAGIC.EXE.bak"));
}

TEST(Cli, ReportsGoToStderrOneLineEachAndSetTheStatus) {
    TempDir dir;
    // The wrong folder: a good rules file is not replaced by failure texts.
    test::WriteFile(dir.File("r.txt"), "good");
    CliRun r = Cli(dir.path(), "extract --rules r.txt --game-dir nowhere", dir);
    EXPECT_EQ(r.status, 1);
    // The folder and the file name are joined with the system's separator.
    const std::string in = "Error opening " + test::Native("nowhere/");
    EXPECT_EQ(r.err,
              in + "BUILDDAT.LBX\n" + in + "ITEMPOW.LBX\n" + in + "SPELLDAT.LBX\n" + in + "WIZARDS.EXE\n" + in +
                  "MAGIC.EXE\n" + in + "ITEMMAKE.EXE\nNo game file could be opened; r.txt was left unchanged.\n");
    EXPECT_EQ(test::ReadFile(dir.File("r.txt")), "good");
    r = Cli(dir.path(), "load --rules missing.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Load of missing.txt Failed.\n");
    r = Cli(dir.path(), "write --rules missing.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error opening missing.txt\n");
}


// Commands that would replace a file they should not: nothing is written.
TEST(Cli, RefusesToReplaceFilesItShouldNot) {
    TempDir dir;
    ASSERT_EQ(Cli(dir.path(), "sample-game g", dir).status, 0);
    test::WriteFile(dir.File("g/MAGIC.EXE"), "a real install");
    CliRun r = Cli(dir.path(), "sample-game g --seed 3", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, test::Native("g/BUILDDAT.LBX") + " already exists; no sample game was written.\n");
    EXPECT_EQ(test::ReadFile(dir.File("g/MAGIC.EXE")), "a real install");

    test::WriteFile(dir.File("out.txt"), "keep");
    r = Cli(dir.path(), "load --rules missing.txt --save out.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::ReadFile(dir.File("out.txt")), "keep");

    // Files too large to hold are reported as files that cannot be opened.
    test::WriteFile(dir.File("big.txt"), "");
    std::filesystem::resize_file(dir.File("big.txt"), 65ull * 1024 * 1024);
    r = Cli(dir.path(), "load --rules big.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Load of big.txt Failed.\n");
    std::filesystem::resize_file(dir.File("g/MAGIC.EXE"), 65ull * 1024 * 1024);
    r = Cli(dir.path(), "extract --rules r.txt --game-dir g", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "Error opening " + test::Native("g/MAGIC.EXE"));
}

// Where a value's second copy in the game differs from it, the write changes
// the copy: diff lists the value after the changed ones, the same text on
// both sides, marked as the editor's Changes window marks it.
TEST(Cli, DiffMarksValuesKeptInStepWithTheirSecondCopy) {
    TempDir dir;
    const std::string g = dir.File("g");
    ASSERT_EQ(Cli(dir.path(), "sample-game g", dir).status, 0);
    ASSERT_EQ(Cli(g, "extract --rules r.txt", dir).status, 0);
    const CliRun diff = Cli(g, "diff --rules r.txt", dir);
    EXPECT_EQ(diff.status, 0) << diff.err;
    const auto split = [](const std::string& text, char at) {
        std::vector<std::string> parts;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t end = std::min(text.find(at, from), text.size());
            parts.push_back(text.substr(from, end - from));
            from = end + 1;
        }
        return parts;
    };
    const std::vector<std::string> lines = split(diff.out, '\n');
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = split(line + '\t', '\t');
        ASSERT_EQ(fields.size(), 9u) << line;
        EXPECT_EQ(fields[3], fields[4]) << line;
        const std::optional<Place> copy = SecondCopyOf(std::stoi(fields[0]), std::stoi(fields[1]), std::stoi(fields[2]));
        ASSERT_TRUE(copy) << line;
        EXPECT_EQ(fields[8].rfind(std::string("kept in step with its second copy in ") + GameFileName(copy->file), 0), 0u)
            << line;
    }
}

TEST(Cli, DiffListsWhatAWriteWouldChangeAndWritesNothing) {
    TempDir dir;
    const std::string g = dir.File("g");
    ASSERT_EQ(Cli(dir.path(), "sample-game g", dir).status, 0);
    ASSERT_EQ(Cli(g, "extract --rules r.txt", dir).status, 0);
    ASSERT_EQ(Cli(g, "write --rules r.txt", dir).status, 0);  // second copies now agree
    auto lines = test::SplitLines(test::ReadFile(g + "/r.txt"));
    lines[static_cast<std::size_t>(test::RecordLineNumber(23, 0) - 1)] = "\"Heal Amount\", 201;";
    lines[static_cast<std::size_t>(test::RecordLineNumber(31, 0) - 1)] = "\"Dagger\",   -1;";
    lines[static_cast<std::size_t>(test::RecordLineNumber(33, 0) - 1)] = "\"x\",  30;";
    test::WriteFile(g + "/r.txt", test::JoinLines(lines));
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& e : std::filesystem::directory_iterator(g)) files.emplace_back(e.path().string(), test::ReadFile(e.path().string()));

    const CliRun diff = Cli(g, "diff --rules r.txt", dir);
    EXPECT_EQ(diff.status, 1);
    const std::string destroyed = std::to_string(test::RecordLineNumber(33, 0));
    EXPECT_EQ(diff.err, "Line: " + destroyed + " In [MANA FROM DESTROYED ITEMS] section  Value Must Be Either 25 or 50.\n");
    EXPECT_NE(diff.out.find("23\t0\t1\t"), std::string::npos);
    EXPECT_NE(diff.out.find("\t201\tHealing Spells\tHeal Amount\t\n"), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("31\t0\t1\t"), std::string::npos);
    EXPECT_NE(diff.out.find("\t-1\tCreate Item Base Costs\tSword\t\n"), std::string::npos) << diff.out;
    EXPECT_EQ(std::count(diff.out.begin(), diff.out.end(), '\n'), 2);

    const CliRun bytes = Cli(g, "diff --rules r.txt --bytes", dir);
    EXPECT_EQ(bytes.err, diff.err);
    // The heal amount, then the item cost's two bytes in ITEMMAKE.EXE and its
    // copy in WIZARDS.EXE.
    EXPECT_NE(bytes.out.find("WIZARDS.EXE\t0x82C9F\t"), std::string::npos) << bytes.out;
    EXPECT_NE(bytes.out.find("\t201\n"), std::string::npos) << bytes.out;
    EXPECT_NE(bytes.out.find("ITEMMAKE.EXE\t0x29B46\t"), std::string::npos) << bytes.out;
    EXPECT_LT(bytes.out.find("WIZARDS.EXE\t0x2F078"), bytes.out.find("ITEMMAKE.EXE"));

    const CliRun dry = Cli(g, "write --rules r.txt --dry-run", dir);
    EXPECT_EQ(dry.status, 1);
    EXPECT_EQ(dry.out, "");
    EXPECT_EQ(dry.err, diff.err);
    for (const auto& [path, content] : files) EXPECT_EQ(test::ReadFile(path), content) << path;
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(g)) ++count;
    EXPECT_EQ(count, files.size());
}

TEST(Cli, UsageErrors) {
    TempDir dir;
    for (const char* args : {"", "frobnicate", "load", "extract --rules", "load --rules a --rules b",
                             "write --rules r --dump", "sample-game", "sample-game d --seed x", "mod", "mod frob",
                             "mod export --out m", "mod apply --rules r", "mod conflicts a", "restore --rules r"}) {
        const CliRun r = Cli(dir.path(), args, dir);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
    }
}

TEST(Cli, HelpListsEveryCommandAndVersionNamesTheRelease) {
    TempDir dir;
    const CliRun help = Cli(dir.path(), "--help", dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* command :
         {"extract", "write", "diff", "load", "sample-game", "mod export", "mod apply", "mod conflicts", "restore"})
        EXPECT_NE(help.out.find(std::string("\n  quorvane-cli ") + command + " "), std::string::npos) << command;
    EXPECT_NE(help.out.find("--version"), std::string::npos);
    const CliRun version = Cli(dir.path(), "--version", dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quorvane-cli " QUORVANE_VERSION "\n");
}

TEST(Cli, DumpEscapesAndDebugLog) {
    TempDir dir;
    // A name holding a backslash and a tab; an otherwise empty file.
    test::WriteFile(dir.File("r.txt"), "[ITEM POWERS]\r\n\"a\\b\tc\", 00000001,\r\n");
    const CliRun r = Cli(dir.path(), "load --rules r.txt --dump --debug-log d.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "0\t0\t0\ta\\\\b\\tc\n");
    EXPECT_NE(r.out.find("\n0\t0\t1\tValue Not Found\n"), std::string::npos);
    // Every in-use cell, one line each.
    EXPECT_EQ(static_cast<int>(std::count(r.out.begin(), r.out.end(), '\n')), 12450);
    EXPECT_NE(test::ReadFile(dir.File("d.txt")).find("LoadDataFileToArray_i"), std::string::npos);
    // Reports come first in raising order.
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "Line Number : 2. The line holds 2 values, 9 expected: none of them was read.");
}

}  // namespace
}  // namespace quorvane
