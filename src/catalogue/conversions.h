// The text and number conversions shared by the readers and the writers.
// Every value travels as text; numbers exist only inside these.
#pragma once

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorvane {

// Decimal text of a signed 32-bit number.
std::string Int2Str(long long n);
// Lower-case hexadecimal digits without prefix or leading zeros ("0" for 0); a
// negative number gives the eight digits of its 32-bit two's complement.
std::string Int2Hex(int n);
// The number whose hexadecimal digits begin the text (stops at the first
// character that is not a hexadecimal digit; 0 when there is none).
int HexToInt(std::string_view text);
// The number whose decimal digits begin the text, after leading blanks and an
// optional sign; reading stops at the first character that cannot continue the
// number. 0 when there is no digit; saturates at the 32-bit limits.
int StrToInt(std::string_view text);
// Like StrToInt, but reports whether the digits ran past the 32-bit range.
// Inline: write-back reads one number per cell with it.
inline long long LeadingNumber(std::string_view text, bool* overflow) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    // Twelve digits are far past the 32-bit range; further digits are read
    // over without growing the value.
    long long value = 0;
    int digits = 0;
    for (; p < end && static_cast<unsigned>(*p - '0') < 10u; ++p)
        if (++digits <= 12) value = value * 10 + (*p - '0');
    if (negative) value = -value;
    if (overflow) *overflow = digits > 12 || value > INT_MAX || value < INT_MIN;
    return value;
}

// The number of a text of one to eight decimal digits, known to be digits
// only, read without a branch per digit, on a little-endian machine. The
// eight bytes before the text's end must be readable: the text lies at least
// eight bytes into its buffer.
inline long long EightDigitsValue(std::string_view text) {
    const std::size_t length = text.size();
    std::uint64_t x;
    std::memcpy(&x, text.data() + length - 8, 8);
    // The text's bytes are the last ones loaded (the highest, little-endian);
    // those before it count as leading zeros.
    const std::uint64_t ones = 0x0101010101010101;
    x = x & (0x0F * ones) & (~std::uint64_t{0} << (8 * (8 - length)));
    x = x * 10 + (x >> 8);  // pairs of digits
    x = (((x & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
         (((x >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >> 32;
    return static_cast<long long>(x);
}

// The number of a text of one to eight decimal digits and nothing else, read
// without a branch per digit; false for any other text (LeadingNumber reads
// those). The eight bytes before the text's end must be readable: the text
// lies at least eight bytes into its buffer.
inline bool EightDigitsNumber(std::string_view text, long long* n) {
    const std::size_t length = text.size();
    if (std::endian::native != std::endian::little || length == 0 || length > 8) return false;
    std::uint64_t x;
    std::memcpy(&x, text.data() + length - 8, 8);
    const std::uint64_t inText = ~std::uint64_t{0} << (8 * (8 - length));
    const std::uint64_t ones = 0x0101010101010101;
    const bool digits = (x & (0xF0 * ones) & inText) == ((0x30 * ones) & inText) &&
                        (((x & (0x0F * ones)) + 0x06 * ones) & (0xF0 * ones) & inText) == 0;
    if (!digits) return false;
    *n = EightDigitsValue(text);
    return true;
}

// Eight characters '0'/'1' for bits 7 down to 0; a negative n gives eight zeros.
std::string ByteToFlagText(int n);
// The inverse: the first eight characters, '1' setting bits 7 down to 0.
int FlagTextToByte(std::string_view text);

}  // namespace quorvane
