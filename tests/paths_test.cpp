// Paths are std::filesystem::path in the core and text only in reports: a
// name with non-ASCII letters must reach the file system and the reports
// spelled exactly as it was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "test_util.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// "Spielstand Ærø Жар" in UTF-8, the programs' narrow encoding on every
// system (on Windows through their manifest).
const std::string kUtf8Name = "Spielstand \xc3\x86r\xc3\xb8 \xd0\x96\xd0\xb0\xd1\x80";

TEST(Paths, TextAndPathRoundTrip) {
    EXPECT_EQ(PathText(PathFromText(kUtf8Name)), kUtf8Name);
    EXPECT_EQ(PathText(PathFromText("")), "");
#ifdef _WIN32
    // Converted as the command line and the C runtime read names, not
    // through the library's locale-dependent conversion.
    EXPECT_EQ(PathFromText(kUtf8Name).native(), L"Spielstand \u00c6r\u00f8 \u0416\u0430\u0440");
#else
    // Any bytes name a file here, valid UTF-8 or not.
    const std::string latin1 = "r\xe9gles.txt";
    EXPECT_EQ(PathFromText(latin1).native(), latin1);
    EXPECT_EQ(PathText(PathFromText(latin1)), latin1);
#endif
}

// Reports and trace lines take path pieces as they take texts.
TEST(Paths, ReportAndTraceLinesJoinPathPieces) {
    test::TempDir dir;
    test::Fixture f;
    f.session.Report("Error opening ", PathFromText(kUtf8Name), std::string("; "), fs::path("x.txt"));
    EXPECT_EQ(f.errors.texts, std::vector<std::string>{"Error opening " + kUtf8Name + "; x.txt"});
    const std::string log = dir.File("log.txt");
    ASSERT_TRUE(f.session.log.Open(log));
    f.session.log.Line("file ", PathFromText(kUtf8Name), ' ', 7);
    f.session.log.Close();
    const std::string line = "file " + kUtf8Name + " 7";
    EXPECT_EQ(test::ReadFile(log).substr(0, line.size()), line);
}

TEST(Paths, GamePathKeepsTheBareNameAndJoinsWithTheSeparator) {
    EXPECT_EQ(PathText(GamePath({}, "MAGIC.EXE")), "MAGIC.EXE");
    EXPECT_EQ(PathText(GamePath("g", "MAGIC.EXE")), test::Native("g/MAGIC.EXE"));
    EXPECT_EQ(PathText(GamePath(PathFromText(kUtf8Name), "MAGIC.EXE")), kUtf8Name + test::Native("/MAGIC.EXE"));
}

// The reports of the file actions spell the paths as they were given.
TEST(Paths, ReportsNameNonAsciiFilesAndFoldersExactly) {
    test::TempDir dir;
    // Joined as text: the names must not pass through any other conversion.
    const std::string sep = test::Native("/");
    const std::string folder = dir.path() + sep + kUtf8Name;
    test::Fixture f;
    f.session.gameFolder = PathFromText(folder);
    f.session.rulesPath = PathFromText(folder + ".txt");

    // No game folder yet: every game file is reported by its whole path.
    ExtractCommand(f.session);
    ASSERT_EQ(f.errors.texts.size(), 7u);
    for (GameFile g : GameFileOpenOrder()) {
        const std::string expected = "Error opening " + folder + sep + GameFileName(g);
        EXPECT_EQ(std::count(f.errors.texts.begin(), f.errors.texts.end(), expected), 1) << expected;
    }
    EXPECT_EQ(f.errors.texts.back(), "No game file could be opened; " + folder + ".txt was left unchanged.");

    f.errors.texts.clear();
    f.session.rulesPath = PathFromText(folder + " missing.txt");
    EXPECT_FALSE(LoadCommand(f.session));
    EXPECT_EQ(f.errors.texts, std::vector<std::string>{"Load of " + folder + " missing.txt Failed."});

    // A folder another run holds is named as given.
    test::MakeSampleGame(f.session.gameFolder);
    FolderLock held;
    ASSERT_TRUE(held.TryAcquire(f.session.gameFolder));
    f.errors.texts.clear();
    ExtractCommand(f.session);
    EXPECT_EQ(f.errors.texts,
              std::vector<std::string>{"Another run is using the game folder " + folder + "; nothing was done."});
}

}  // namespace
}  // namespace quorvane
