// One codec for each way the game files keep a value: how the bytes of a place
// decode into the number they stand for, the text that number is shown as,
// how a value text of the rules file reads back into a number, which numbers
// may be written, how a number is encoded into the place's bytes, and the
// numbers allowed, in words. Extraction, both rules-file readers, the write
// and the cell check (and so CSV import and mods) all go through these, so
// each rule stands here once.
//
// Everything a file action does per cell is inline: extraction, load and
// write-back call it for each of the 11,705 values.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/conversions.h"
#include "catalogue/layout.h"

namespace quorvane {

class FieldCodec {
public:
    Codec id;
    FieldKind kind;    // the rules file's form of the value: its column width, digits or flag text
    int bytes;         // the place's bytes, the low one first
    int maximum;       // the largest number that may be written (0 is the least)
    int negativeFrom;  // numbers from here up to modulus - 1 are shown as negative numbers; 0: none are
    int modulus;       // a byte's 256 or a word's 65536: "-m" reads as modulus - m
    int add;           // the place holds the number plus this
    bool codeWords;    // 50 and 25 are kept as the code words kCode50 and kCode25

    constexpr int Width() const { return ColumnWidth(kind); }
    constexpr bool IsFlags() const { return kind == FieldKind::BitFlags; }

    // The number the place holds, its bytes read low first: 0 .. 255 or
    // 0 .. 65535.
    static int Raw(const unsigned char* p, int bytes) { return bytes == 2 ? p[0] | p[1] << 8 : p[0]; }

    // The number the place's raw number stands for.
    constexpr long long Decode(int raw) const {
        if (codeWords) return raw == kCode50 ? 50 : raw == kCode25 ? 25 : raw;
        return raw - add;
    }
    // The raw number the place takes for n: the exact inverse of Decode for
    // every number Refusal lets through. For others, a byte keeps the low 8
    // bits of n (plus add), a word the word StoredWord gives.
    constexpr int Encode(int n) const {
        if (codeWords && (n == 50 || n == 25)) return n == 50 ? kCode50 : kCode25;
        const int raw = static_cast<int>(static_cast<unsigned>(n) + static_cast<unsigned>(add));
        return bytes == 1 ? raw & 0xFF : StoredWord(raw);
    }

    // The sign rule, both ways. The number a value is shown as: from
    // negativeFrom up (241 .. 255 of a byte, 60001 .. 65535 of a word) the
    // negative number n - modulus (-15 .. -1, -5535 .. -1); any other as it
    // is.
    constexpr long long Shown(long long n) const {
        return negativeFrom != 0 && n >= negativeFrom && n < modulus ? n - modulus : n;
    }
    // The number a value text stands for, given the number its digits form
    // and whether a '-' stands before them: "-m" is modulus - m ("-1" of a
    // byte 255, of a word 65535; "-0" of a byte 256). Flag texts do not
    // come here.
    constexpr long long FromText(long long digits, bool negative) const { return negative ? modulus - digits : digits; }

    // Why write-back refuses the number n (overflow: its digits ran past
    // the 32-bit range), as it reports it (" Value out of range.", " Value
    // Must Be Either 25 or 50."); nullptr when n may be written. Flag texts
    // are refused by their form only, never here.
    constexpr const char* Refusal(long long n, bool overflow) const {
        if (IsFlags()) return nullptr;
        if (codeWords) return overflow || (n != 25 && n != 50) ? " Value Must Be Either 25 or 50." : nullptr;
        return overflow || n < 0 || n > maximum ? " Value out of range." : nullptr;
    }

    // The text extraction writes for the number n (from Decode): the flag
    // text of a flag byte, else the decimal text of Shown(n). Put into
    // buffer, which must hold 24 characters.
    std::string_view Display(long long n, char* buffer) const {
        if (IsFlags()) {
            const std::string flags = ByteToFlagText(static_cast<int>(n));
            return {buffer, static_cast<std::size_t>(flags.copy(buffer, 8))};
        }
        const auto [end, ec] = std::to_chars(buffer, buffer + 24, Shown(n));
        return {buffer, static_cast<std::size_t>(end - buffer)};
    }

    // The numbers that may be written, in words, for example "0 to 255, or
    // -15 to -1 for 241 to 255", "25 or 50".
    std::string Range() const;

    // The word a number is stored as by the word writer: the number itself
    // for 0 .. 65535; beyond, the number its first four hexadecimal digits
    // form (a negative number's digits are those of its 32-bit two's
    // complement).
    static constexpr int StoredWord(int n) {
        if (n >= 0 && n <= 0xFFFF) return n;
        std::uint32_t u = static_cast<std::uint32_t>(n);
        int digits = 1;
        while (digits < 8 && (u >> (4 * digits)) != 0) ++digits;
        return static_cast<int>(u >> (4 * (digits - 4)));
    }
};

// The codecs, by Codec.
inline constexpr FieldCodec kCodecs[] = {
    {Codec::Byte, FieldKind::Byte, 1, 255, 241, 256, 0, false},
    {Codec::Word, FieldKind::Word, 2, 65535, 60001, 65536, 0, false},
    {Codec::Flags, FieldKind::BitFlags, 1, 255, 0, 256, 0, false},
    // A code word (or any other word, shown as it is, never negative).
    {Codec::DestroyedItems, FieldKind::Word, 2, 65535, 0, 65536, 0, true},
    // The tower count's copy: the count plus 6 in a byte, so at most 249.
    {Codec::TowersCopy, FieldKind::Byte, 1, 255 - kTowersCopyAdd, 241, 256, kTowersCopyAdd, false},
};
static_assert(sizeof kCodecs / sizeof kCodecs[0] == kCodecCount);

constexpr const FieldCodec& CodecOf(Codec id) { return kCodecs[static_cast<std::size_t>(id)]; }
inline const FieldCodec& CodecOf(const CellSpot& spot) { return CodecOf(spot.codec); }

// Why write-back refuses the number n for a cell: the first refusal of its
// places' codecs (a further place may take fewer numbers than the first, as
// the tower count's copy does); nullptr when every place takes it.
inline const char* CellRefusal(const CellSpot& spot, long long n, bool overflow) {
    if (const char* refusal = CodecOf(spot).Refusal(n, overflow)) return refusal;
    return spot.hasCopy ? CodecOf(spot.copy.codec).Refusal(n, overflow) : nullptr;
}

// The numbers cell (i, j, step) takes at all its places, in words, for
// example "0 to 255, or -15 to -1 for 241 to 255".
std::string AllowedRange(int i, int j, int step);

// The spot of cell (i, j, step): the table's for a cell of the catalogue, a
// byte of WIZARDS.EXE at offset 0 with no further place for any other.
const CellSpot& SpotOrByte(int i, int j, int step);

}  // namespace quorvane
