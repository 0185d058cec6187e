// The game files under faults that only a separate process shows: a write
// killed at any moment, a disk that fills up, and two runs on one folder.
// Each game file must always be entirely old or entirely new, and each .bak
// absent or an exact copy of the original.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "test_util.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Files = std::vector<std::string>;  // the six game files' bytes, in GameFile order

Files ReadGame(const std::string& dir) {
    Files files;
    for (int g = 0; g < kGameFileCount; ++g) files.push_back(test::ReadFile(GamePath(dir, GameFileName(static_cast<GameFile>(g)))));
    return files;
}

void WriteGame(const std::string& dir, const Files& files) {
    fs::create_directories(dir);
    for (int g = 0; g < kGameFileCount; ++g)
        test::WriteFile(GamePath(dir, GameFileName(static_cast<GameFile>(g))), files[static_cast<std::size_t>(g)]);
}

// Starts quorvane-cli in dir with stderr to errPath; with fileLimit > 0 the
// process may write no file larger than that many bytes (a full disk).
pid_t StartCli(const std::string& dir, const std::vector<std::string>& args, const std::string& errPath,
               rlim_t fileLimit = 0) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = open("/dev/null", O_WRONLY);
    if (err >= 0) dup2(err, 2);
    if (null >= 0) dup2(null, 1);
    if (fileLimit > 0) {
        // The program itself makes a write past the limit fail instead of
        // ending it.
        const rlimit limit{fileLimit, fileLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> argv;
    std::string cli = QUORVANE_CLI_PATH;
    argv.push_back(cli.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(cli.c_str(), argv.data());
    _exit(127);
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HasTemporaryFiles(const std::string& dir) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().ends_with(".qvtmp")) return true;
    return false;
}

class ProcessSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string source = dir.File("source");
        test::MakeSampleGame(source);
        original = ReadGame(source);
        rules = MakeRules(source, "rules.txt", 1);
        other = MakeRules(source, "other.txt", 2);
        expected = ResultOf(rules);
        expectedOther = ResultOf(other);
    }

    // A rules file that changes one value (of row `row`) in each of the six
    // game files.
    std::string MakeRules(const std::string& source, const std::string& name, int add, int row = 0) {
        test::Fixture f;
        f.session.gameFolder = source;
        f.session.rulesPath = dir.File(name);
        ExtractCommand(f.session);
        for (int i : {0, 1, 2, 23, 34, 31}) {
            for (int step = 1; step < Columns(i) && row < Rows(i); ++step) {
                if (GetFieldKind(i, row, step) == FieldKind::BitFlags) continue;
                const int v = std::stoi(std::string(f.session.grid.GetArrayValue(i, row, step)));
                f.session.grid.SetArrayValue(i, row, step, std::to_string(((v < 0 ? 0 : v) + add) % 200));
                break;
            }
        }
        EXPECT_TRUE(SaveCommand(f.session));
        return f.session.rulesPath;
    }

    Files ResultOf(const std::string& rulesPath) {
        const std::string g = dir.File("result-" + fs::path(rulesPath).stem().string());
        WriteGame(g, original);
        EXPECT_EQ(Wait(StartCli(g, {"write", "--rules", rulesPath}, dir.File("ref.err"))), 0);
        Files result = ReadGame(g);
        for (int k = 0; k < kGameFileCount; ++k) EXPECT_NE(result[static_cast<std::size_t>(k)], original[static_cast<std::size_t>(k)]) << k;
        return result;
    }

    // Every game file old or new, every backup absent or the original.
    void ExpectWholeFiles(const std::string& g, const std::string& context) {
        for (int k = 0; k < kGameFileCount; ++k) {
            const auto u = static_cast<std::size_t>(k);
            const std::string path = GamePath(g, GameFileName(static_cast<GameFile>(k)));
            const std::string now = test::ReadFile(path);
            EXPECT_TRUE(now == original[u] || now == expected[u]) << context << ' ' << path;
            if (fs::exists(path + ".bak")) {
                EXPECT_EQ(test::ReadFile(path + ".bak"), original[u]) << context << ' ' << path;
            }
        }
    }

    TempDir dir;
    Files original, expected, expectedOther;
    std::string rules, other;
};

TEST_F(ProcessSafetyTest, KilledWritesLeaveEveryFileOldOrNew) {
    // How long an undisturbed write takes, so the kills spread over all of it.
    const std::string timing = dir.File("timing");
    WriteGame(timing, original);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(StartCli(timing, {"write", "--rules", rules}, dir.File("t.err"))), 0);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);

    std::mt19937 rng(20261207);
    std::uniform_int_distribution<long long> delay(0, span.count() * 12 / 10);
    int finished = 0, partial = 0;
    for (int run = 0; run < 120; ++run) {
        const std::string g = dir.File("kill" + std::to_string(run));
        WriteGame(g, original);
        const pid_t pid = StartCli(g, {"write", "--rules", rules}, dir.File("k.err"));
        std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
        kill(pid, SIGKILL);
        const int status = Wait(pid);
        finished += status == 0;
        ExpectWholeFiles(g, "run " + std::to_string(run));
        partial += ReadGame(g) != original && ReadGame(g) != expected;
        // The next complete write finishes the job and clears what the kill left.
        ASSERT_EQ(Wait(StartCli(g, {"write", "--rules", rules}, dir.File("k.err"))), 0);
        EXPECT_EQ(ReadGame(g), expected);
        EXPECT_FALSE(HasTemporaryFiles(g)) << run;
        fs::remove_all(g);
    }
    // The kills landed both before and during the writes, not only after.
    EXPECT_LT(finished, 120);
    std::printf("killed writes: %d of 120 finished, %d left some files new and some old\n", finished, partial);
}

TEST_F(ProcessSafetyTest, AFullDiskLeavesFilesAsTheyWere) {
    // No room even for the backups: each file is reported, nothing changes.
    const std::string g = dir.File("full");
    WriteGame(g, original);
    ASSERT_EQ(Wait(StartCli(g, {"write", "--rules", rules}, dir.File("full.err"), 1000)), 1);
    const std::string err = test::ReadFile(dir.File("full.err"));
    EXPECT_NE(err.find("WIZARDS.EXE.bak could not be written: File too large.\n"), std::string::npos) << err;
    EXPECT_EQ(ReadGame(g), original);
    for (int k = 0; k < kGameFileCount; ++k)
        EXPECT_FALSE(fs::exists(PathText(GamePath(g, GameFileName(static_cast<GameFile>(k)))) + ".bak"));
    EXPECT_FALSE(HasTemporaryFiles(g));

    // Backups already there: the game files themselves cannot be written.
    for (int k = 0; k < kGameFileCount; ++k) {
        const std::string path = GamePath(g, GameFileName(static_cast<GameFile>(k)));
        test::WriteFile(path + ".bak", original[static_cast<std::size_t>(k)]);
    }
    ASSERT_EQ(Wait(StartCli(g, {"write", "--rules", rules}, dir.File("full.err"), 1000)), 1);
    EXPECT_EQ(test::ReadFile(dir.File("full.err")),
              "BUILDDAT.LBX could not be written: File too large; it was left unchanged.\n"
              "ITEMPOW.LBX could not be written: File too large; it was left unchanged.\n"
              "SPELLDAT.LBX could not be written: File too large; it was left unchanged.\n"
              "WIZARDS.EXE could not be written: File too large; it was left unchanged.\n"
              "MAGIC.EXE could not be written: File too large; it was left unchanged.\n"
              "ITEMMAKE.EXE could not be written: File too large; it was left unchanged.\n");
    EXPECT_EQ(ReadGame(g), original);
    EXPECT_FALSE(HasTemporaryFiles(g));
}

TEST_F(ProcessSafetyTest, OneRunAtATimeOnAGameFolder) {
    const std::string g = dir.File("busy");
    WriteGame(g, original);
    {
        // Another run holds the folder: writes and extractions are refused
        // at once and change nothing.
        FolderLock held;
        ASSERT_TRUE(held.TryAcquire(g));
        EXPECT_EQ(Wait(StartCli(g, {"write", "--rules", rules}, dir.File("w.err"))), 1);
        EXPECT_EQ(test::ReadFile(dir.File("w.err")), "Another run is using the game folder " + g + "; nothing was done.\n");
        EXPECT_EQ(Wait(StartCli(dir.path(), {"extract", "--rules", dir.File("x.txt"), "--game-dir", g}, dir.File("x.err"))), 1);
        EXPECT_EQ(test::ReadFile(dir.File("x.err")), "Another run is using the game folder " + g + "; nothing was done.\n");
        EXPECT_FALSE(fs::exists(dir.File("x.txt")));
        EXPECT_EQ(ReadGame(g), original);
        EXPECT_FALSE(fs::exists(GamePath(g, "WIZARDS.EXE.bak")));
    }
    // Two writes started together: the folder ends up wholly one run's result.
    for (int trial = 0; trial < 10; ++trial) {
        WriteGame(g, original);
        const pid_t a = StartCli(g, {"write", "--rules", rules}, dir.File("a.err"));
        const pid_t b = StartCli(g, {"write", "--rules", other}, dir.File("b.err"));
        const int sa = Wait(a), sb = Wait(b);
        const Files now = ReadGame(g);
        EXPECT_TRUE(now == expected || now == expectedOther) << trial;
        for (const auto& [status, err] : {std::pair{sa, dir.File("a.err")}, std::pair{sb, dir.File("b.err")}})
            if (status != 0) {
                EXPECT_EQ(test::ReadFile(err), "Another run is using the game folder " + g + "; nothing was done.\n");
            }
        for (int k = 0; k < kGameFileCount; ++k) {
            const std::string path = GamePath(g, GameFileName(static_cast<GameFile>(k)));
            EXPECT_EQ(test::ReadFile(path + ".bak"), original[static_cast<std::size_t>(k)]);
            fs::remove(path + ".bak");
        }
    }
}

// Two game folders whose SPELLDAT.LBX link to one shared file, written at
// once with rules files that change different spells: the shared folder is
// locked too, so the shared file ends as one run's complete result, never a
// mixture of both.
TEST_F(ProcessSafetyTest, TwoFoldersSharingAFileGetOneRunsResult) {
    const std::string source = dir.File("source");
    const std::string rulesA = MakeRules(source, "a.txt", 1, 0), rulesB = MakeRules(source, "b.txt", 2, 1);
    const std::size_t spells = static_cast<std::size_t>(GameFile::SpellDat);
    const auto spellsAfter = [&](const std::string& r) {
        const std::string g = dir.File("alone");
        fs::remove_all(g);
        WriteGame(g, original);
        EXPECT_EQ(Wait(StartCli(g, {"write", "--rules", r}, dir.File("ref.err"))), 0);
        return ReadGame(g)[spells];
    };
    const std::string onlyA = spellsAfter(rulesA), onlyB = spellsAfter(rulesB);
    ASSERT_TRUE(onlyA != original[spells] && onlyB != original[spells] && onlyA != onlyB);

    const std::string shared = dir.File("shared");
    const std::string refusal = "Another run is using the game folder " + fs::canonical(dir.path()).string() +
                                "/shared; nothing was done.\n";
    int refused = 0;
    for (int trial = 0; trial < 30; ++trial) {
        for (const std::string& folder : {dir.File("a"), dir.File("b"), shared}) fs::remove_all(folder);
        for (const std::string& folder : {dir.File("a"), dir.File("b"), shared}) WriteGame(folder, original);
        for (const char* link : {"a/SPELLDAT.LBX", "b/SPELLDAT.LBX"}) {
            fs::remove(dir.File(link));
            fs::create_symlink(shared + "/SPELLDAT.LBX", dir.File(link));
        }
        const pid_t a = StartCli(dir.File("a"), {"write", "--rules", rulesA}, dir.File("a.err"));
        const pid_t b = StartCli(dir.File("b"), {"write", "--rules", rulesB}, dir.File("b.err"));
        const int sa = Wait(a), sb = Wait(b);
        const std::string now = test::ReadFile(shared + "/SPELLDAT.LBX");
        if (sa == 0 && sb == 0) {
            EXPECT_TRUE(now == onlyA || now == onlyB) << "trial " << trial << ": the runs' changes were mixed";
        } else {
            ++refused;
            EXPECT_TRUE((sa == 1 && sb == 0 && now == onlyB) || (sa == 0 && sb == 1 && now == onlyA)) << trial;
            EXPECT_EQ(test::ReadFile(dir.File(sa == 1 ? "a.err" : "b.err")), refusal) << trial;
        }
    }
    std::printf("shared file: %d of 30 trials refused one run\n", refused);
}

}  // namespace
}  // namespace quorvane

#endif  // _WIN32
