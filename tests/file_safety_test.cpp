// The files the editor touches, as a hostile or careless user may arrange
// them: game files named as rules or CSV files, links and special files where
// regular files are expected, files with other owners or other names, files
// too large to read, and a debug log that must stop growing.
// Each case runs the command-line tool and checks its exact reports and that
// what must stay unchanged did.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "catalogue/layout.h"
#include "io/debug_log.h"
#include "io/file_io.h"
#include "test_util.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::Cli;
using test::CliRun;
using test::TempDir;

// A sample game in g whose second copies already agree, its extracted rules
// file r.txt, and w.txt, which changes the heal amount: a write of w.txt
// changes WIZARDS.EXE and no other game file.
class FileSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeSampleGame(g);
        ASSERT_EQ(Cli(g, "extract --rules r.txt", dir).status, 0);
        ASSERT_EQ(Cli(g, "write --rules r.txt", dir).status, 0);
        for (const fs::path& f : fs::directory_iterator(g))
            if (f.extension() == ".bak") fs::remove(f);
        auto lines = test::SplitLines(test::ReadFile(Game("r.txt")));
        lines[static_cast<std::size_t>(test::RecordLineNumber(23, 0) - 1)] = "\"Heal Amount\", 201;";
        test::WriteFile(Game("w.txt"), test::JoinLines(lines));
        before = GameState();
        wizards = test::ReadFile(Game("WIZARDS.EXE"));
    }

    std::string Game(const std::string& name) const { return test::Native(g + "/" + name); }

    // Every game file's bytes, in short.
    std::map<std::string, std::size_t> GameState() const {
        std::map<std::string, std::size_t> state;
        for (GameFile f : GameFileOpenOrder())
            state[GameFileName(f)] = std::hash<std::string>()(test::ReadFile(Game(GameFileName(f))));
        return state;
    }
    int Backups() const {
        int n = 0;
        for (const fs::directory_entry& e : fs::directory_iterator(g)) n += e.path().extension() == ".bak";
        return n;
    }

    TempDir dir;
    const std::string g = dir.File("g");
    std::map<std::string, std::size_t> before;
    std::string wizards;  // WIZARDS.EXE's bytes before
};

// No rules, CSV or mod file replaces a game file or a backup: not by its name,
// not from another folder, not through a link or a second name.
TEST_F(FileSafetyTest, GameFilesAreNeverRulesOrCsvTargets) {
    struct Case {
        std::string cwd, args, target;
    };
    std::vector<Case> cases = {
        {g, "extract --rules MAGIC.EXE", "MAGIC.EXE"},
        {g, "extract --rules WIZARDS.EXE.bak", "WIZARDS.EXE.bak"},
        {dir.path(), "extract --rules " + test::Native("g/ITEMMAKE.EXE") + " --game-dir g", test::Native("g/ITEMMAKE.EXE")},
        {g, "load --rules r.txt --save ITEMPOW.LBX", "ITEMPOW.LBX"},
        {g, "import-csv --rules SPELLDAT.LBX --section Spells s.csv", "SPELLDAT.LBX"},
        {g, "export-csv --rules r.txt --section Spells --out BUILDDAT.LBX", "BUILDDAT.LBX"},
        {g, "mod export --rules r.txt --out WIZARDS.EXE", "WIZARDS.EXE"},
    };
#ifndef _WIN32
    fs::create_symlink("MAGIC.EXE", Game("link.txt"));
    fs::create_hard_link(Game("SPELLDAT.LBX"), Game("second name.txt"));
    cases.push_back({g, "extract --rules link.txt", "link.txt"});
    cases.push_back({g, "load --rules r.txt --save 'second name.txt'", "second name.txt"});
#endif
    for (const Case& c : cases) {
        const CliRun r = Cli(c.cwd, c.args, dir);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_EQ(r.err, c.target + " is a game file; nothing was written.\n") << c.args;
        EXPECT_EQ(GameState(), before) << c.args;
        EXPECT_EQ(Backups(), 0) << c.args;
    }
}

#ifndef _WIN32

// Makes something that is not a regular file at path.
using Maker = std::function<void(const std::string& path)>;
const Maker kDanglingLink = [](const std::string& p) { fs::create_symlink("nowhere", p); };
const Maker kFolder = [](const std::string& p) { fs::create_directory(p); };
const Maker kPipe = [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); };

// A .bak counts only when it is a regular file; anything else there keeps
// its game file from being written at all.
TEST_F(FileSafetyTest, OnlyARegularFileIsABackup) {
    const Maker linkToACopy = [&](const std::string& p) {
        test::WriteFile(dir.File("copy"), "not the game's bytes");
        fs::create_symlink(dir.File("copy"), p);
    };
    for (const Maker& make : {kDanglingLink, linkToACopy, kFolder, kPipe}) {
        const std::string backup = Game("WIZARDS.EXE.bak");
        make(backup);
        const CliRun r = Cli(g, "write --rules w.txt", dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "WIZARDS.EXE.bak is not a regular file; WIZARDS.EXE was not written.\n");
        EXPECT_TRUE(test::ReadFile(Game("WIZARDS.EXE")) == wizards);
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(backup)));
        fs::remove(backup);
    }
    EXPECT_EQ(test::ReadFile(dir.File("copy")), "not the game's bytes");
}

// The lock file is never opened through a link or as a special file, and
// files the editor makes replace a link at their name instead of writing
// through it; no run waits on a pipe.
TEST_F(FileSafetyTest, LinksAndSpecialFilesAreNotWrittenThrough) {
    const std::string victim = dir.File("victim");
    fs::remove(Game(".quorvane-editor.lock"));
    const Maker linkToVictim = [&](const std::string& p) { fs::create_symlink(victim, p); };
    for (const Maker& make : {linkToVictim, kPipe, kFolder}) {
        make(Game(".quorvane-editor.lock"));
        for (const char* args : {"write --rules w.txt", "extract --rules x.txt"}) {
            const CliRun r = Cli(g, args, dir);
            EXPECT_EQ(r.status, 1) << args;
            EXPECT_EQ(r.err, ".quorvane-editor.lock is not a regular file; nothing was done.\n") << args;
        }
        EXPECT_FALSE(fs::exists(victim));
        EXPECT_FALSE(fs::exists(Game("x.txt")));
        EXPECT_EQ(GameState(), before);
        EXPECT_EQ(Backups(), 0);
        fs::remove(Game(".quorvane-editor.lock"));
    }

    test::WriteFile(victim, "precious");
    fs::create_directory(Game("csv"));
    fs::create_symlink(victim, Game("csv/SPELLS.csv"));
    fs::create_symlink(victim, Game("one.csv"));
    fs::create_symlink(victim, Game("trace.txt"));
    EXPECT_EQ(Cli(g, "export-csv --rules r.txt --section all --out csv", dir).status, 0);
    EXPECT_EQ(Cli(g, "export-csv --rules r.txt --section Spells --out one.csv", dir).status, 0);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Game("csv/SPELLS.csv"))));
    EXPECT_EQ(test::ReadFile(Game("one.csv")), test::ReadFile(Game("csv/SPELLS.csv")));
    const CliRun logged = Cli(g, "load --rules r.txt --debug-log trace.txt", dir);
    EXPECT_EQ(logged.err, "Error opening trace.txt\n");
    EXPECT_EQ(test::ReadFile(victim), "precious");

    // A pipe among the game files, or named like a leftover temporary file,
    // or as the rules file: reported like a file that cannot be opened.
    fs::rename(Game("SPELLDAT.LBX"), dir.File("SPELLDAT.LBX"));
    kPipe(Game("SPELLDAT.LBX"));
    kPipe(Game(".WIZARDS.EXE.123456.qvtmp"));
    kPipe(Game("pipe.txt"));
    CliRun r = Cli(g, "extract --rules x.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "Error opening SPELLDAT.LBX");
    r = Cli(g, "write --rules w.txt", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error opening SPELLDAT.LBX\n");
    EXPECT_TRUE(test::ReadFile(Game("WIZARDS.EXE")) != wizards);
    EXPECT_EQ(fs::status(Game(".WIZARDS.EXE.123456.qvtmp")).type(), fs::file_type::fifo);
    EXPECT_EQ(Cli(g, "load --rules pipe.txt", dir).err, "Load of pipe.txt Failed.\n");
    EXPECT_EQ(Cli(g, "write --rules pipe.txt", dir).err, "Error opening pipe.txt\n");
}

// A game file with a second name (a mod manager's hard link) is written in
// place, so both names hold the new bytes; its backup holds the old ones.
TEST_F(FileSafetyTest, EveryNameOfAGameFileSeesTheWrite) {
    fs::create_directory(dir.File("mods"));
    fs::create_hard_link(Game("WIZARDS.EXE"), dir.File("mods/WIZARDS.EXE"));
    ASSERT_EQ(Cli(g, "write --rules w.txt", dir).status, 0);
    const std::string now = test::ReadFile(Game("WIZARDS.EXE"));
    EXPECT_TRUE(now != wizards);
    EXPECT_TRUE(test::ReadFile(dir.File("mods/WIZARDS.EXE")) == now);
    EXPECT_EQ(fs::hard_link_count(Game("WIZARDS.EXE")), 2u);
    EXPECT_TRUE(test::ReadFile(Game("WIZARDS.EXE.bak")) == wizards);
}

struct Attributes {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    std::string origin;  // the extended attribute user.origin
    bool operator==(const Attributes&) const = default;
};

Attributes AttributesOf(const std::string& path) {
    struct stat st{};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    char value[64] = {};
    const ssize_t n = getxattr(path.c_str(), "user.origin", value, sizeof value);
    return {st.st_uid, st.st_gid, static_cast<mode_t>(st.st_mode & 07777), n > 0 ? std::string(value, static_cast<std::size_t>(n)) : ""};
}

// A game file and its backup keep the game file's owner, group, mode bits
// and extended attributes; where the owner cannot be kept (a run by another
// user), the set-uid bit goes and one report says what was lost.
TEST_F(FileSafetyTest, WrittenFilesKeepTheirOwnerModeAndAttributes) {
    if (geteuid() != 0) GTEST_SKIP() << "giving files to other users needs the administrator";
    const std::string path = Game("WIZARDS.EXE");
    if (setxattr(path.c_str(), "user.origin", "mod", 3, 0) != 0)
        GTEST_SKIP() << "this file system keeps no user extended attributes";
    ASSERT_EQ(chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(chmod(path.c_str(), 04751), 0);
    const bool acl = std::system(("setfacl -m u:4323:r '" + path + "' 2>/dev/null").c_str()) == 0;
    const Attributes expected = AttributesOf(path);
    ASSERT_EQ(Cli(g, "write --rules w.txt", dir).status, 0);
    EXPECT_TRUE(test::ReadFile(path) != wizards);
    EXPECT_EQ(AttributesOf(path), expected);
    EXPECT_EQ(AttributesOf(Game("WIZARDS.EXE.bak")), expected);
    if (acl) EXPECT_GT(getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0), 0);
    else std::printf("setfacl is missing or unsupported here: no access control list was checked\n");

    // Another user may write the file but cannot give the new one away.
    if (std::system("setpriv --help >/dev/null 2>&1") != 0) GTEST_SKIP() << "setpriv is missing";
    fs::remove(Game("WIZARDS.EXE.bak"));
    for (GameFile f : GameFileOpenOrder()) ASSERT_EQ(chmod(Game(GameFileName(f)).c_str(), 0666), 0);
    ASSERT_EQ(chmod(path.c_str(), 04777), 0);
    ASSERT_EQ(chmod(g.c_str(), 0777), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    test::WriteFile(Game("w2.txt"), test::ReadFile(Game("r.txt")));
    ASSERT_EQ(chmod(Game("w2.txt").c_str(), 0644), 0);
    const std::string cmd = "cd '" + g + "' && setpriv --reuid=4324 --regid=4324 --clear-groups '" +
                            QUORVANE_CLI_PATH + "' write --rules w2.txt 2>'" + dir.File("user.err") + "'";
    EXPECT_EQ(WEXITSTATUS(std::system(cmd.c_str())), 1);
    EXPECT_EQ(test::ReadFile(dir.File("user.err")),
              "WIZARDS.EXE.bak was written but lost its owner and group and its set-uid bit.\n"
              "WIZARDS.EXE was written but lost its owner and group and its set-uid bit.\n");
    const Attributes now = AttributesOf(path);
    EXPECT_EQ(now.uid, 4324u);
    EXPECT_EQ(now.mode, 0777u);
    EXPECT_EQ(now.origin, "mod");
    EXPECT_TRUE(test::ReadFile(path) == wizards);
}

#endif  // _WIN32

// Read-only rules files are read; names of any length are written; a later
// write clears what killed runs left; an oversized CSV is refused unread.
TEST_F(FileSafetyTest, RulesNamesLeftoversAndOversizedCsv) {
    fs::permissions(Game("w.txt"), fs::perms::owner_read);
    EXPECT_EQ(Cli(g, "load --rules w.txt", dir).err, "");
    EXPECT_EQ(Cli(g, "write --rules w.txt", dir).err, "");

#ifndef _WIN32
    const std::string longName = std::string(251, 'r') + ".txt";
    EXPECT_EQ(Cli(g, "extract --rules " + longName, dir).err, "");
    EXPECT_EQ(Cli(g, "load --rules " + longName + " --save " + longName, dir).err, "");
    EXPECT_TRUE(fs::exists(Game(longName)));
#endif

    // Leftovers of a game file and of its backup go when the folder is next
    // locked, even by a write that leaves that file alone.
    test::WriteFile(Game(".MAGIC.EXE.77.qvtmp"), "half");
    test::WriteFile(Game(".MAGIC.EXE.bak.78.qvtmp"), "half");
    EXPECT_EQ(Cli(g, "write --rules w.txt", dir).err, "");
    EXPECT_FALSE(fs::exists(Game(".MAGIC.EXE.77.qvtmp")));
    EXPECT_FALSE(fs::exists(Game(".MAGIC.EXE.bak.78.qvtmp")));

    test::WriteFile(Game("big.csv"), "");
    fs::resize_file(Game("big.csv"), 16 * 1024 * 1024 + 1);
    const CliRun r = Cli(g, "import-csv --rules r.txt --section Spells big.csv", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error opening big.csv\n");
}

// The temporary files of a writer's target in folder.
std::vector<fs::path> TemporaryFiles(const fs::path& folder, const std::string& target) {
    std::vector<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(folder))
        if (IsTemporaryNameFor(e.path().filename().string(), target)) found.push_back(e.path());
    return found;
}

// A commit writes the temporary file, flushes it to disk, renames it over the
// target and then flushes the folder, in that order; when any of these fails,
// the target is as it was and no temporary file is left.
TEST(AtomicWriter, FlushesBeforeItRenamesAndLeavesTheTargetWhenAStepFails) {
    const std::vector<std::string> all = {"write", "flush", "rename", "flush folder"};
    for (std::size_t failing = 0; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        TempDir dir;
        const std::string target = dir.File("rules.txt");
        test::WriteFile(target, "old");
        std::vector<std::string> calls;
        std::string renamed;  // what the temporary file held when it was renamed
        const WriterCalls& system = SystemWriterCalls();
        // Each call is recorded; the failing one does nothing and fails.
        const auto fails = [&](const char* name) {
            calls.push_back(name);
            if (calls.back() != all[failing]) return false;
            errno = EIO;
            return true;
        };
        WriterCalls seen;
        seen.write = [&](std::intptr_t h, std::string_view c) { return !fails("write") && system.write(h, c); };
        seen.flush = [&](std::intptr_t h) { return !fails("flush") && system.flush(h); };
        seen.rename = [&](const fs::path& from, const fs::path& to) {
            if (fails("rename")) return false;
            renamed = test::ReadFile(from);
            return system.rename(from, to);
        };
        seen.flushFolder = [&](const fs::path& folder) {
            calls.push_back("flush folder");
            system.flushFolder(folder);
        };
        AtomicFileWriter writer(seen);
        ASSERT_TRUE(writer.Begin(target));
        const bool committed = writer.Commit("new content");
        // Every call up to the failing one is made; the folder's flush,
        // which has no failure, comes last.
        const std::size_t made = failing + 1;
        EXPECT_EQ(calls, std::vector<std::string>(all.begin(), all.begin() + static_cast<long>(made)));
        EXPECT_EQ(committed, failing == 3);
        EXPECT_EQ(test::ReadFile(target), committed ? "new content" : "old");
        if (committed) EXPECT_EQ(renamed, "new content");
        else EXPECT_FALSE(writer.errorString().empty());
        EXPECT_TRUE(TemporaryFiles(dir.path(), "rules.txt").empty());
    }
}

// The cleaner of leftover temporary files removes those of writers that
// ended, never the one a running writer is still writing.
TEST(AtomicWriter, LeftoversGoButALiveWritersFileStays) {
    TempDir dir;
    const std::string target = dir.File("MAGIC.EXE");
    test::WriteFile(target, "old");
    AtomicFileWriter live;
    ASSERT_TRUE(live.Begin(target));
    const std::vector<fs::path> mine = TemporaryFiles(dir.path(), "MAGIC.EXE");
    ASSERT_EQ(mine.size(), 1u);
    test::WriteFile(dir.File(".MAGIC.EXE.12345.qvtmp"), "half");  // a killed writer's
    RemoveLeftoversOf({target});
    EXPECT_EQ(TemporaryFiles(dir.path(), "MAGIC.EXE"), mine);
    // Another writer's commit of the same file cleans up as well.
    test::WriteFile(dir.File(".MAGIC.EXE.12346.qvtmp"), "half");
    ASSERT_TRUE(ReplaceFileContents(target, "other"));
    EXPECT_EQ(TemporaryFiles(dir.path(), "MAGIC.EXE"), mine);
    ASSERT_TRUE(live.Commit("new"));
    EXPECT_EQ(test::ReadFile(target), "new");
    EXPECT_TRUE(TemporaryFiles(dir.path(), "MAGIC.EXE").empty());
}

// The debug log stops at its limit with one last line saying so.
TEST(DebugLogLimit, StopsWithOneLastLine) {
    TempDir dir;
    DebugLog log;
    ASSERT_TRUE(log.Open(dir.File("trace.txt"), 1000));
    for (int k = 0; k < 100; ++k) log.Line("LoadDataFileToArray  i-j-Step - ", k, " - ", 0, " - ", 1);
    EXPECT_FALSE(log.IsOpen());
    std::string text = test::ReadFile(dir.File("trace.txt"));
    EXPECT_LE(text.size(), 1000u);
    std::erase(text, '\r');  // written in text mode
    const std::string last = "The debug log stops here: it has reached its limit of 1000 bytes.\n";
    ASSERT_GT(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "LoadDataFileToArray  i-j-Step - 0 - 0 - 1\n");
}

}  // namespace
}  // namespace quorvane
