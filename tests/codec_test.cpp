// The contract every field codec keeps, run over all of them through one
// table: what each shows for given bytes, the numbers it takes in words,
// decoding then encoding gives the bytes back, the text shown reads back as
// the number, and the range in words admits exactly the numbers the codec
// does not refuse.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/codec.h"
#include "catalogue/conversions.h"

namespace quorvane {
namespace {

struct Shows {
    int raw;
    const char* text;
};

struct Contract {
    Codec codec;
    const char* range;
    std::vector<Shows> shows;
};

const std::vector<Contract>& Contracts() {
    static const std::vector<Contract> table = {
        {Codec::Byte, "0 to 255, or -15 to -1 for 241 to 255", {{0, "0"}, {240, "240"}, {241, "-15"}, {255, "-1"}}},
        {Codec::Word,
         "0 to 65535, or -5535 to -1 for 60001 to 65535",
         {{0, "0"}, {4101, "4101"}, {60000, "60000"}, {60001, "-5535"}, {65535, "-1"}}},
        {Codec::Flags, "eight characters 0 or 1, bit 7 first", {{0, "00000000"}, {5, "00000101"}, {128, "10000000"}}},
        {Codec::DestroyedItems,
         "25 or 50",
         {{kCode50, "50"}, {kCode25, "25"}, {40, "40"}, {63696, "63696"}, {65535, "65535"}}},
        // The tower count's copy holds the count plus 6.
        {Codec::TowersCopy, "0 to 249, or -15 to -7 for 241 to 249", {{6, "0"}, {10, "4"}, {246, "240"}, {255, "-7"}}},
    };
    return table;
}

std::string Shown(const FieldCodec& c, int raw) {
    char buffer[24];
    return std::string(c.Display(c.Decode(raw), buffer));
}

// The number a shown text reads back as, the way the readers read it: a flag
// text as its bits, digits after at most one '-' through the sign rule.
long long ReadBack(const FieldCodec& c, const std::string& text) {
    if (c.IsFlags()) return FlagTextToByte(text);
    const bool negative = text.front() == '-';
    return c.FromText(StrToInt(text.substr(negative ? 1 : 0)), negative);
}

TEST(Codecs, KeepTheirContract) {
    ASSERT_EQ(Contracts().size(), static_cast<std::size_t>(kCodecCount));
    for (const Contract& k : Contracts()) {
        const FieldCodec& c = CodecOf(k.codec);
        SCOPED_TRACE(k.range);
        EXPECT_EQ(c.id, k.codec);
        EXPECT_EQ(c.Range(), k.range);
        for (const Shows& s : k.shows) EXPECT_EQ(Shown(c, s.raw), s.text) << s.raw;

        // Every number the place can hold: decoded, shown, read back and
        // encoded, it is the number it was, wherever the codec takes it.
        const int places = c.bytes == 2 ? 65536 : 256;
        for (int raw = 0; raw < places; ++raw) {
            const long long n = c.Decode(raw);
            if (c.Refusal(n, false)) continue;
            ASSERT_EQ(ReadBack(c, Shown(c, raw)), n) << raw;
            // The destroyed-items place's plain words 50 and 25 show as the
            // code words do, and are written back as the code words.
            const int expected = c.codeWords && n == raw ? (n == 50 ? kCode50 : kCode25) : raw;
            ASSERT_EQ(c.Encode(static_cast<int>(n)), expected) << raw;
        }

        // The range in words admits exactly what the codec takes.
        if (c.IsFlags()) continue;
        int least = 0, most = 0, shownFrom = 0, shownTo = 0, from = 0, to = 0;
        const int numbers = std::sscanf(k.range, "%d to %d, or %d to %d for %d to %d", &least, &most, &shownFrom,
                                        &shownTo, &from, &to);
        for (long long n = -70000; n <= 70000; ++n) {
            const bool inWords = numbers >= 2 ? n >= least && n <= most : n == 25 || n == 50;
            ASSERT_EQ(c.Refusal(n, false) == nullptr, inWords) << n;
        }
        EXPECT_NE(c.Refusal(25, true), nullptr);  // digits past the 32-bit range are never taken
        if (numbers == 6) {
            // The negative forms named are those the sign rule shows.
            EXPECT_EQ(c.Shown(from), shownFrom);
            EXPECT_EQ(c.Shown(to), shownTo);
            EXPECT_EQ(c.Shown(from - 1), from - 1);
        }
    }
}

TEST(Codecs, ValueTextsReadThroughTheSignRule) {
    const FieldCodec& byte = CodecOf(Codec::Byte);
    const FieldCodec& word = CodecOf(Codec::Word);
    EXPECT_EQ(byte.FromText(1, true), 255);
    EXPECT_EQ(byte.FromText(0, true), 256);   // refused, as every number past 255
    EXPECT_EQ(byte.FromText(20, true), 236);  // shown as 236 once written
    EXPECT_EQ(word.FromText(1, true), 65535);
    EXPECT_EQ(word.FromText(7, false), 7);
    // A word past 65535 keeps the number of its first four hexadecimal digits.
    EXPECT_EQ(word.Encode(0x12345), 0x1234);
    EXPECT_EQ(byte.Encode(300), 44);
}

}  // namespace
}  // namespace quorvane
