// The text and number conversions shared by the readers and the writers.
// Every value travels as text; numbers exist only inside these.
#pragma once

#include <climits>
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

// Eight characters '0'/'1' for bits 7 down to 0; a negative n gives eight zeros.
std::string ByteToFlagText(int n);
// The inverse: the first eight characters, '1' setting bits 7 down to 0.
int FlagTextToByte(std::string_view text);

}  // namespace quorvane
