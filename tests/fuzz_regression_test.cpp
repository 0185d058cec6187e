// Regression tests for faults and changes found while fuzzing and
// benchmarking the core.
#include <gtest/gtest.h>

#include <filesystem>

#include "actions/actions.h"
#include "catalogue/game_file.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "test_util.h"
#include "writeback/pipeline.h"

namespace quorvane {
namespace {

using test::TempDir;

// Commit writes only bytes whose value changed: a byte put with the value it
// already holds is left alone on disk. Any put still makes the backup.
TEST(GameFileCommit, WritesOnlyChangedBytesButAnyPutMakesTheBackup) {
    TempDir dir;
    const std::string path = dir.File("GAME.BIN");
    const std::string original = "0123456789";
    test::WriteFile(path, original);

    GameFileImage image;
    ASSERT_TRUE(image.Open(path));
    image.PutByte(2, '2');  // its own value
    image.PutByte(5, 'X');  // a change
    EXPECT_TRUE(image.Dirty());
    // Someone else changes byte 2 on disk after the image was read: the put of
    // an unchanged value must not write it back over that.
    test::WriteFile(path, "01#3456789");
    std::string failed;
    ASSERT_TRUE(image.Commit(&failed)) << failed;
    EXPECT_EQ(test::ReadFile(path), "01#34X6789");
    EXPECT_EQ(test::ReadFile(path + ".bak"), "01#3456789");  // the file as it was before the first write
    EXPECT_FALSE(image.Dirty());

    // Only puts of unchanged values: nothing is written, but the backup is
    // still made, as for any write.
    std::filesystem::remove(path + ".bak");
    test::WriteFile(path, original);
    ASSERT_TRUE(image.Open(path));
    image.PutByte(0, '0');
    image.PutByte(9, '9');
    EXPECT_FALSE(image.Dirty());
    ASSERT_TRUE(image.Commit(&failed)) << failed;
    EXPECT_EQ(test::ReadFile(path), original);
    EXPECT_EQ(test::ReadFile(path + ".bak"), original);

    // No put at all: no backup.
    std::filesystem::remove(path + ".bak");
    ASSERT_TRUE(image.Open(path));
    ASSERT_TRUE(image.Commit(&failed)) << failed;
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

// Writing back the rules file just extracted from a folder whose copies agree
// leaves every game byte as it was, and still makes every backup.
TEST(WriteBackUnchanged, SecondWriteOfTheSameRulesKeepsEveryByte) {
    TempDir dir;
    test::MakeSampleGame(dir.path());
    test::Fixture fx;
    fx.session.gameFolder = dir.path();
    fx.session.rulesPath = dir.File("rules.txt");
    ExtractCommand(fx.session);
    WriteRulesToGameFiles(fx.session);  // makes the sample's second copies agree
    ASSERT_TRUE(fx.errors.texts.empty());

    std::vector<std::vector<std::uint8_t>> before;
    for (GameFile f : GameFileOpenOrder()) {
        before.push_back(test::GameBytes(dir.path(), f));
        std::filesystem::remove(PathText(GamePath(dir.path(), GameFileName(f))) + ".bak");
    }
    WriteRulesToGameFiles(fx.session);
    EXPECT_TRUE(fx.errors.texts.empty());
    std::size_t k = 0;
    for (GameFile f : GameFileOpenOrder()) {
        const std::string path = PathText(GamePath(dir.path(), GameFileName(f)));
        EXPECT_EQ(test::GameBytes(dir.path(), f), before[k]) << GameFileName(f);
        EXPECT_EQ(test::ReadBytes(path + ".bak"), before[k]) << GameFileName(f);
        ++k;
    }
}

}  // namespace
}  // namespace quorvane
