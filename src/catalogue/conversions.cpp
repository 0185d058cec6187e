#include "catalogue/conversions.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>

namespace quorvane {

std::string Int2Str(long long n) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, end);
}

std::string Int2Hex(int n) {
    // Lower-case digits of the 32-bit pattern, no leading zeros.
    char buffer[8];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(n), 16);
    return std::string(buffer, end);
}

int HexToInt(std::string_view text) {
    // The hexadecimal digits up to the first other character; the low 32
    // bits of a longer number.
    std::size_t digits = 0;
    while (digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    const std::string_view low = text.substr(digits > 8 ? digits - 8 : 0, digits > 8 ? 8 : digits);
    std::uint32_t value = 0;
    std::from_chars(low.data(), low.data() + low.size(), value, 16);
    return static_cast<int>(value);
}

int StrToInt(std::string_view text) {
    bool over = false;
    const long long v = LeadingNumber(text, &over);
    if (over) return v < 0 ? INT_MIN : INT_MAX;
    return static_cast<int>(v);
}

std::string ByteToFlagText(int n) {
    if (n < 0) return "00000000";
    std::string out(8, '0');
    if (n <= 255) {
        // A byte's eight bits, the highest first, without a branch per bit.
        for (int bit = 0; bit < 8; ++bit) out[static_cast<std::size_t>(bit)] = static_cast<char>('0' + ((n >> (7 - bit)) & 1));
        return out;
    }
    // Past a byte: 128, 64, ..., 2 are taken out while they fit, and the
    // last digit says whether anything is left.
    for (int bit = 0, weight = 128; weight >= 2; ++bit, weight /= 2) {
        if (n >= weight) {
            out[static_cast<std::size_t>(bit)] = '1';
            n -= weight;
        }
    }
    out[7] = n > 0 ? '1' : '0';
    return out;
}

int FlagTextToByte(std::string_view text) {
    if (text.size() >= 8 && std::endian::native == std::endian::little) {
        // All eight characters at once: a byte of ones marks each '1', and
        // one multiplication gathers the marks into bits 7 down to 0 (the
        // first character, the lowest byte, the highest bit).
        std::uint64_t x;
        std::memcpy(&x, text.data(), 8);
        const std::uint64_t ones = 0x0101010101010101;
        const std::uint64_t y = x ^ (0x31 * ones);  // zero bytes where '1' stands
        const std::uint64_t nonzero = (((y & (0x7F * ones)) + 0x7F * ones) | y) & (0x80 * ones);
        const std::uint64_t isOne = (~nonzero & (0x80 * ones)) >> 7;
        return static_cast<int>((isOne * 0x8040201008040201) >> 56);
    }
    int value = 0;
    for (std::size_t p = 0; p < 8 && p < text.size(); ++p) value |= static_cast<int>(text[p] == '1') << (7 - p);
    return value;
}

}  // namespace quorvane
