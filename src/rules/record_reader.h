// The one reader of record lines, shared by the loader and the write-back
// lookup: the directive search, the step to the next line, and the scan for a
// value after a comma within its window. Each caller brings its own report
// texts, trace lines and tolerances.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#endif

#include "session/session.h"
#include "rules/format.h"

namespace quorvane {

// Sixteen characters at p compared at once: bit k of the result is set when
// p[k] is c (CharMask), or a digit or '-' (ValueCharMask). The scans below use
// them where sixteen characters are left, and a plain loop elsewhere; both
// give the same index.
#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#define QUORVANE_SCAN_SSE2 1
inline unsigned CharMask(const char* p, char c) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
}
inline unsigned ValueCharMask(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed compares: bytes from 0x80 up are negative, so never digits.
    const __m128i digit =
        _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
    const __m128i minus = _mm_cmpeq_epi8(v, _mm_set1_epi8('-'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(digit, minus)));
}
#endif

inline bool IsValueChar(char c) { return (c >= '0' && c <= '9') || c == '-'; }

// The first index at or after from where line holds c, or npos.
inline std::size_t FindChar(std::string_view line, char c, std::size_t from) {
    if (from < line.size() && line[from] == c) return from;
#ifdef QUORVANE_SCAN_SSE2
    for (; from + 16 <= line.size(); from += 16)
        if (const unsigned m = CharMask(line.data() + from, c)) return from + static_cast<std::size_t>(std::countr_zero(m));
#endif
    for (; from < line.size(); ++from)
        if (line[from] == c) return from;
    return std::string_view::npos;
}

// The first index in from .. limit - 1 (limit at most line.size(), and less
// than 16 past from) holding a digit or '-', or limit.
inline std::size_t FindValueChar(std::string_view line, std::size_t from, std::size_t limit) {
    if (from >= limit) return limit;
#ifdef QUORVANE_SCAN_SSE2
    if (from + 16 <= line.size() && limit - from <= 16) {
        const unsigned inWindow = (1u << (limit - from)) - 1;
        const unsigned m = ValueCharMask(line.data() + from) & inWindow;
        return m ? from + static_cast<std::size_t>(std::countr_zero(m)) : limit;
    }
#endif
    for (; from < limit; ++from)
        if (IsValueChar(line[from])) return from;
    return limit;
}

// Reads lines until one contains header (anywhere, case-sensitive), counting
// each in r.LineNumber; then reads the line after it (row 0's record line).
// Every line read without the header while LineNumber is above limit calls
// pastLimit(). Returns false, with r.Line empty, when the file ends first.
template <typename PastLimit>
bool FindDirectiveLine(ReaderState& r, LineSource& src, std::string_view header, int limit, PastLimit&& pastLimit) {
    while (src.GetLine(r.Line)) {
        ++r.LineNumber;
        if (r.Line.find(header) != std::string::npos) {
            src.GetLine(r.Line);
            ++r.LineNumber;
            r.position = 0;
            return true;
        }
        if (r.LineNumber > limit) pastLimit();
    }
    r.Line = {};
    return false;
}

// Reads the next line as the next row's record line (empty once the file has
// ended).
inline void NextRecordLine(ReaderState& r, LineSource& src) {
    src.GetLine(r.Line);
    ++r.LineNumber;
    r.position = 0;
}

// How a '-' in the window is taken: as the first character of the value (the
// loader keeps the text as written), or as a sign flag before the digits (the
// lookup, which yields the stored number).
enum class MinusSign { StartsValue, IsFlag };

struct ValueScan {
    bool found = false;
    std::size_t start = 0;  // first character of the value
    std::size_t end = 0;    // the separator after it
    bool negative = false;  // a '-' stood before the digits (MinusSign::IsFlag)
};

// Scans line from just after the comma at index comma, at most width + 2
// characters, for the start of a value: a digit (or with StartsValue a '-').
// The value runs up to the next ',' (or, for the row's last column, ';').
// When that separator is missing, missingSeparator() is called and the scan
// goes on with the next position.
template <typename MissingSeparator>
ValueScan ScanValue(std::string_view line, std::size_t comma, int width, bool last, MinusSign minus,
                    MissingSeparator&& missingSeparator) {
    ValueScan scan;
    const std::size_t stop = comma + static_cast<std::size_t>(width) + 2;
    const std::size_t limit = std::min(stop + 1, line.size());
    const char separator = last ? ';' : ',';
#ifdef QUORVANE_SCAN_SSE2
    // Most values and their separator lie within the sixteen characters after
    // the comma: one load answers the window and the separator at once.
    if (comma + 17 <= line.size() && limit <= comma + 17) {
        const char* const p = line.data() + comma + 1;
        const unsigned window = (1u << (limit - comma - 1)) - 1;
        const unsigned minusSigns = CharMask(p, '-') & window;
        const unsigned values = ValueCharMask(p) & window;
        // With IsFlag the value starts at the window's first digit, and every
        // '-' before it makes the value negative.
        const unsigned starts = minus == MinusSign::IsFlag ? values & ~minusSigns : values;
        if (starts == 0) {
            if (minus == MinusSign::IsFlag) scan.negative = minusSigns != 0;
            return scan;
        }
        const unsigned k = static_cast<unsigned>(std::countr_zero(starts));
        const unsigned before = (1u << k) - 1;
        if (minus == MinusSign::IsFlag) scan.negative = (minusSigns & before) != 0;
        if (const unsigned separators = CharMask(p, separator) & ~before) {
            scan.found = true;
            scan.start = comma + 1 + k;
            scan.end = comma + 1 + static_cast<std::size_t>(std::countr_zero(separators));
            return scan;
        }
        scan.negative = false;  // the scan below decides it again
    }
#endif
    std::size_t k = FindValueChar(line, comma + 1, limit);
    for (; k < limit && line[k] == '-' && minus == MinusSign::IsFlag; k = FindValueChar(line, k + 1, limit))
        scan.negative = true;
    if (k >= limit) return scan;
    const std::size_t end = FindChar(line, separator, k);
    if (end != std::string_view::npos) {
        scan.found = true;
        scan.start = k;
        scan.end = end;
        return scan;
    }
    // No separator follows: every value character left in the window misses
    // it too, and each is reported.
    for (; k < limit; ++k) {
        const char c = line[k];
        if (c == '-' && minus == MinusSign::IsFlag) scan.negative = true;
        else if (IsValueChar(c)) missingSeparator();
    }
    return scan;
}

}  // namespace quorvane
