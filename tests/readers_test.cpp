#include <gtest/gtest.h>

#include "io/debug_log.h"
#include "catalogue/conversions.h"
#include "catalogue/game_file.h"
#include "catalogue/readers.h"
#include "test_util.h"
#include "writeback/writers.h"

namespace quorvane {
namespace {

using test::TempDir;

class GameFileTest : public ::testing::Test {
protected:
    // A 16-byte file whose bytes are given.
    GameFileImage& Make(std::vector<std::uint8_t> bytes) {
        test::WriteFile(path_, std::string(bytes.begin(), bytes.end()));
        EXPECT_TRUE(image_.Open(path_));
        return image_;
    }
    TempDir dir_;
    std::string path_ = dir_.File("GAME.BIN");
    GameFileImage image_;
    DebugLog log_;
};

TEST_F(GameFileTest, ReadersGiveTheirTexts) {
    auto& f = Make({0x05, 0x10, 0x00, 0x12, 0xFF, 0xFF, 0x2B, 0xC2, 0xF1, 0x80, 0x01});
    EXPECT_EQ(GetDWORD(f, 0, log_), "4101");
    EXPECT_EQ(GetDWORD(f, 2, log_), "4608");
    EXPECT_EQ(GetDWORD(f, 4, log_), "65535");
    EXPECT_EQ(GetDWORD(f, 6, log_), "49707");
    EXPECT_EQ(GetBYTE(f, 8, log_), "241");
    EXPECT_EQ(Get8BitBinaryFlags(f, 9, log_), "10000000");
    EXPECT_EQ(Get8BitBinaryFlags(f, 10, log_), "00000001");
    // Past the end.
    EXPECT_EQ(GetBYTE(f, 11, log_), "-1");
    EXPECT_EQ(GetDWORD(f, 10, log_), "-1");
    EXPECT_EQ(Get8BitBinaryFlags(f, 99, log_), "00000000");
}

TEST(Conversions, Numbers) {
    EXPECT_EQ(Int2Str(-15), "-15");
    EXPECT_EQ(Int2Hex(0), "0");
    EXPECT_EQ(Int2Hex(16), "10");
    EXPECT_EQ(Int2Hex(255), "ff");
    EXPECT_EQ(Int2Hex(418), "1a2");
    EXPECT_EQ(Int2Hex(-1), "ffffffff");
    EXPECT_EQ(HexToInt("1a2"), 418);
    EXPECT_EQ(HexToInt("FF"), 255);
    EXPECT_EQ(StrToInt("12abc"), 12);
    EXPECT_EQ(StrToInt("-40 "), -40);
    EXPECT_EQ(StrToInt("99999999999"), 2147483647);
    bool over = false;
    LeadingNumber("99999999999", &over);
    EXPECT_TRUE(over);
    LeadingNumber("65535", &over);
    EXPECT_FALSE(over);
}

TEST(Conversions, FlagTexts) {
    EXPECT_EQ(ByteToFlagText(0), "00000000");
    EXPECT_EQ(ByteToFlagText(1), "00000001");
    EXPECT_EQ(ByteToFlagText(5), "00000101");
    EXPECT_EQ(ByteToFlagText(128), "10000000");
    EXPECT_EQ(ByteToFlagText(255), "11111111");
    EXPECT_EQ(ByteToFlagText(-1), "00000000");
    EXPECT_EQ(FlagTextToByte("00001001"), 9);
    EXPECT_EQ(FlagTextToByte("101"), 160);
    EXPECT_EQ(FlagTextToByte("0000000011"), 0);
    for (int n = 0; n < 256; ++n) EXPECT_EQ(FlagTextToByte(ByteToFlagText(n)), n);
}

// The number reader takes eight characters at a time; on random texts
// (digits, '0'/'1', blanks, signs and bytes that differ from them in one bit
// only) it must agree with a character-by-character reading, and so must the
// flag reader.
TEST(Conversions, EightCharactersAtOnceMatchCharacterReads) {
    // Besides digits and blanks, bytes one bit away from '0' or '1'.
    const char alphabet[] = {'0', '1', '5', '9', ' ', '-', '/', ':', 'p', '\xB0', '\xB1', '!', '\x00', '\x11', 'q', '3'};
    // Flag characters only, digits only, anything, flag characters but one.
    const std::size_t sizes[] = {2, 4, sizeof alphabet, 2};
    std::uint32_t seed = 99;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 50000; ++round) {
        // The text lies eight bytes into its buffer, as the number reader needs.
        std::string buffer(8 + next() % 11, ' ');
        for (std::size_t k = 8; k < buffer.size(); ++k) buffer[k] = alphabet[next() % sizes[round % 4]];
        if (round % 4 == 3 && buffer.size() > 8) buffer[8 + next() % (buffer.size() - 8)] = alphabet[next() % sizeof alphabet];
        const std::string_view text = std::string_view(buffer).substr(8);

        bool allDigits = !text.empty() && text.size() <= 8;
        for (char c : text) allDigits = allDigits && c >= '0' && c <= '9';
        long long n = -1;
        ASSERT_EQ(EightDigitsNumber(text, &n), allDigits) << text;
        if (allDigits) {
            ASSERT_EQ(n, LeadingNumber(text, nullptr)) << text;
        }

        int byte = 0;
        for (std::size_t p = 0; p < 8 && p < text.size(); ++p) byte |= (text[p] == '1') << (7 - p);
        ASSERT_EQ(FlagTextToByte(text), byte) << text;
    }
}

TEST_F(GameFileTest, WritersMirrorTheReaders) {
    auto& f = Make(std::vector<std::uint8_t>(16, 0xAA));
    auto bytesAt = [&](int at) { return std::make_pair(f.ByteAt(at), f.ByteAt(at + 1)); };
    WriteBYTE(f, 0, "300", log_);
    EXPECT_EQ(f.ByteAt(0), 44);
    WriteBYTE(f, 0, "256", log_);
    EXPECT_EQ(f.ByteAt(0), 0);
    const std::pair<int, int> words[] = {{0, 0x0000}, {255, 0x00FF}, {256, 0x0100}, {4096, 0x1000},
                                         {49707, 0xC22B}, {65535, 0xFFFF}};
    for (auto [value, word] : words) {
        WriteDWORD(f, 4, std::to_string(value), log_);
        EXPECT_EQ(bytesAt(4), std::make_pair(word & 0xFF, word >> 8)) << value;
    }
    // Five hexadecimal digits keep their first four: 0x12345 -> 0x1234.
    WriteDWORD(f, 4, std::to_string(0x12345), log_);
    EXPECT_EQ(bytesAt(4), std::make_pair(0x34, 0x12));
    EXPECT_EQ(f.ByteAt(3), 0xAA);
    EXPECT_EQ(f.ByteAt(6), 0xAA);
    WriteBitFlagHex8BitTest(f, 8, "11111111", log_);
    EXPECT_EQ(f.ByteAt(8), 255);
    WriteBitFlagHex8BitTest(f, 8, "101", log_);
    EXPECT_EQ(f.ByteAt(8), 160);
    for (int v = 0; v < 65536; v += 97) {
        WriteDWORD(f, 10, std::to_string(v), log_);
        ASSERT_EQ(GetDWORD(f, 10, log_), std::to_string(v));
    }
    for (int v = 0; v < 256; ++v) {
        WriteBYTE(f, 12, std::to_string(v), log_);
        ASSERT_EQ(GetBYTE(f, 12, log_), std::to_string(v));
    }
}

TEST_F(GameFileTest, CommitWritesOnlyChangedBytesAndKeepsABackup) {
    std::vector<std::uint8_t> original(64);
    for (int k = 0; k < 64; ++k) original[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
    auto& f = Make(original);
    f.PutByte(10, 0xEE);
    f.PutByte(11, 0xEF);
    f.PutByte(63, 0x01);
    f.PutByte(64, 0x02);  // past the end: ignored
    std::string failed;
    ASSERT_TRUE(f.Commit(&failed));
    auto now = test::ReadBytes(path_);
    ASSERT_EQ(now.size(), 64u);
    EXPECT_EQ(now[10], 0xEE);
    EXPECT_EQ(now[11], 0xEF);
    EXPECT_EQ(now[63], 0x01);
    now[10] = 10, now[11] = 11, now[63] = 63;
    EXPECT_EQ(now, original);
    EXPECT_EQ(test::ReadBytes(path_ + ".bak"), original);
    // A later write keeps the first backup.
    f.PutByte(0, 0x77);
    ASSERT_TRUE(f.Commit(&failed));
    EXPECT_EQ(test::ReadBytes(path_ + ".bak"), original);
}

TEST(Names, EighteenBytesTakenWholeAndEmptyNames) {
    TempDir dir;
    test::MakeSampleGame(dir.path());
    GameImages images;
    ASSERT_TRUE(ImageOf(images, GameFile::ItemPow).Open(dir.File("ITEMPOW.LBX")));
    ASSERT_TRUE(ImageOf(images, GameFile::Wizards).Open(dir.File("WIZARDS.EXE")));
    DebugLog log;
    auto bytes = test::GameBytes(dir.path(), GameFile::ItemPow);
    for (int k = 0; k < 18; ++k) bytes[static_cast<std::size_t>(548 + k)] = static_cast<std::uint8_t>('A' + k);
    bytes[548 + 30] = 0;  // row 1 starts with a zero byte
    test::WriteFile(dir.File("ITEMPOW.LBX"), std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(ImageOf(images, GameFile::ItemPow).Open(dir.File("ITEMPOW.LBX")));
    bool readable = false;
    EXPECT_EQ(ReadName(0, 0, images, log, &readable), "ABCDEFGHIJKLMNOPQR");
    EXPECT_TRUE(readable);
    EXPECT_EQ(ReadName(0, 1, images, log, &readable), "");
    EXPECT_TRUE(readable);
    EXPECT_EQ(ReadName(21, 28, images, log, &readable), "Planar Trave");
    // A unit name found through its pointer.
    const std::string unit = ReadName(5, 0, images, log, &readable);
    EXPECT_TRUE(readable);
    EXPECT_FALSE(unit.empty());
    EXPECT_LE(unit.size(), 18u);
}

}  // namespace
}  // namespace quorvane
