#include "catalogue/conversions.h"

#include <climits>
#include <cstdint>

namespace quorvane {

std::string Int2Str(long long n) { return std::to_string(n); }

std::string Int2Hex(int n) {
    static const char kDigits[] = "0123456789abcdef";
    auto u = static_cast<std::uint32_t>(n);
    if (u == 0) return "0";
    std::string out;
    while (u != 0) {
        out.insert(out.begin(), kDigits[u & 0xF]);
        u >>= 4;
    }
    return out;
}

int HexToInt(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<int>(value);
}

long long LeadingNumber(std::string_view text, bool* overflow) {
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

int StrToInt(std::string_view text) {
    bool over = false;
    const long long v = LeadingNumber(text, &over);
    if (over) return v < 0 ? INT_MIN : INT_MAX;
    return static_cast<int>(v);
}

std::string ByteToFlagText(int n) {
    if (n < 0) return "00000000";
    std::string out;
    out.reserve(8);
    for (int weight = 128; weight >= 2; weight /= 2) {
        if (n >= weight) {
            out += '1';
            n -= weight;
        } else {
            out += '0';
        }
    }
    out += n > 0 ? '1' : '0';
    return out;
}

int FlagTextToByte(std::string_view text) {
    int value = 0;
    for (std::size_t p = 0; p < 8 && p < text.size(); ++p)
        if (text[p] == '1') value += 128 >> p;
    return value;
}

}  // namespace quorvane
