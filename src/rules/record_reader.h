// The one reader of record lines, shared by the loader and the write-back
// lookup: the directive search, the step to the next line, the name field,
// the count of value fields, and the read of one value from its own field.
// Each caller brings its own report texts, trace lines and tolerances.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#endif

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "session/session.h"
#include "rules/format.h"

namespace quorvane {

// The most columns a row has.
inline constexpr int kWidestRow = *std::max_element(kColumnCounts.begin(), kColumnCounts.end());

// Sixteen characters at p compared at once: bit k of the result is set when
// p[k] is c (CharMask), '0' or '1' (ZeroOneMask), or a decimal digit
// (DigitMask). The scans below use them where sixteen characters are left,
// and a plain loop elsewhere; both give the same result.
#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#define QUORVANE_SCAN_SSE2 1
inline unsigned CharMask(const char* p, char c) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
}
// '0' and '1' differ from 0x30 in the lowest bit alone.
inline unsigned ZeroOneMask(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xFE))), _mm_set1_epi8(0x30))));
}
inline unsigned DigitMask(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed compares: bytes from 0x80 up are negative, so never digits.
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)))));
}
#endif

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

// The number of bits set in a sixteen-bit mask, without the library call
// std::popcount becomes where the processor's own instruction is not assumed.
inline int BitCount16(unsigned m) {
    m = m - ((m >> 1) & 0x5555u);
    m = (m & 0x3333u) + ((m >> 2) & 0x3333u);
    m = (m + (m >> 4)) & 0x0F0Fu;
    return static_cast<int>((m + (m >> 8)) & 0x1Fu);
}

// The number of value fields of a record line whose name field ends before
// from: the commas from there up to the first ';' (or the line's end).
inline int CountValueFields(std::string_view line, std::size_t from) {
    int commas = 0;
#ifdef QUORVANE_SCAN_SSE2
    for (; from + 16 <= line.size(); from += 16) {
        const char* const p = line.data() + from;
        const unsigned here = CharMask(p, ',');
        if (const unsigned semicolons = CharMask(p, ';'))
            return commas + BitCount16(here & ((1u << std::countr_zero(semicolons)) - 1));
        commas += BitCount16(here);
    }
#endif
    for (; from < line.size() && line[from] != ';'; ++from) commas += line[from] == ',';
    return commas;
}

// The name field of a record line: the text between its first double quote
// and the next one.
struct NameField {
    bool found = false;
    std::size_t close = 0;  // the closing quote
    std::string_view text;
};

inline NameField FindNameField(std::string_view line) {
    NameField name;
    const std::size_t open = FindChar(line, '"', 0);
    if (open == std::string_view::npos) return name;
    const std::size_t close = FindChar(line, '"', open + 1);
    if (close == std::string_view::npos) return name;
    name.found = true;
    name.close = close;
    name.text = line.substr(open + 1, close - open - 1);
    return name;
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

// The read position of a record line none of whose values may be read: it
// holds more or fewer value fields than its section has value columns, so
// every value after the odd comma would sit one column off.
inline constexpr std::size_t kLineRefused = std::string_view::npos;

// The start of a record line, the same for both readers: the read position
// moves to the name's closing quote (it stays at 0 for a line without a
// quoted name), so that a comma inside the name is never taken for the
// first value's.
inline void StartRecordLine(ReaderState& r, const NameField& name) { r.position = name.found ? name.close : 0; }

// Before the first value of a record line is read cell by cell: returns the
// number of value fields after the name, and sets the read position to
// kLineRefused when a line with value fields has more or fewer than
// columns - 1 of them. A line without any comma is left to the value reads,
// which report each missing comma.
inline int CheckFieldCount(ReaderState& r, int columns) {
    const int fields = CountValueFields(r.Line, r.position);
    if (fields != 0 && fields != columns - 1) r.position = kLineRefused;
    return fields;
}

// "The line holds 16 values, 15 expected": the words both readers report a
// refused line with.
inline std::string FieldCountText(int fields, int columns) {
    return "The line holds " + std::to_string(fields) + (fields == 1 ? " value, " : " values, ") +
           std::to_string(columns - 1) + " expected";
}

// What the read of one value field found.
enum class FieldRead {
    Value,      // a number (digits after at most one '-') or a flag text (eight '0'/'1')
    Malformed,  // a digit within the window, but the field is not in its kind's form
    Missing,    // a blank field, no digit within the window, or no separator
};

struct ValueScan {
    FieldRead read = FieldRead::Missing;
    std::size_t start = 0;  // the field's first character other than a blank
    std::size_t end = 0;    // just after its last one
    std::size_t separator = std::string_view::npos;  // the separator ending the field
    bool negative = false;  // the field begins with '-'
};

// Reads the value field that follows the comma at index comma: the text up
// to the next ',' (for the row's last column, the next ';'), with the blanks
// around it dropped. A value is read from its own field only: its first
// digit must lie within width + 2 characters after the comma, and never past
// the separator. When the rest of the line has no separator,
// missingSeparator() is called once for each digit within the window and the
// field is Missing.
template <typename MissingSeparator>
ValueScan ScanValue(std::string_view line, std::size_t comma, int width, bool last, bool flags,
                    MissingSeparator&& missingSeparator) {
    ValueScan scan;
    const char separator = last ? ';' : ',';
    const std::size_t windowEnd = comma + static_cast<std::size_t>(width) + 3;  // just past the window
#ifdef QUORVANE_SCAN_SSE2
    // Fields are short: sixteen characters from the one after the comma (or,
    // near the line's end, the line's last sixteen, the bits before that
    // character shifted out) answer every question with one load.
    if (line.size() >= 16) {
        const std::size_t from = comma + 1;
        const std::size_t base = std::min(from, line.size() - 16);
        const char* const p = line.data() + base;
        const unsigned shift = static_cast<unsigned>(from - base);
        const unsigned separators = CharMask(p, separator) >> shift;
        if (separators != 0) {
            const unsigned at = static_cast<unsigned>(std::countr_zero(separators));
            scan.separator = from + at;
            const unsigned solid = ((1u << at) - 1) & ~(CharMask(p, ' ') >> shift);
            if (solid == 0) return scan;
            const unsigned first = static_cast<unsigned>(std::countr_zero(solid));
            const unsigned final = 31u - static_cast<unsigned>(std::countl_zero(solid));
            const unsigned inner = ((2u << final) - 1) & ~((1u << first) - 1);
            const unsigned digits = (DigitMask(p) >> shift) & inner;
            if (digits == 0 || static_cast<unsigned>(std::countr_zero(digits)) > static_cast<unsigned>(width) + 1)
                return scan;
            scan.start = from + first;
            scan.end = from + final + 1;
            scan.negative = line[scan.start] == '-';
            const bool ok = flags ? final - first == 7 && ((ZeroOneMask(p) >> shift) & inner) == inner
                                  : (digits | (scan.negative ? 1u << first : 0u)) == inner;
            scan.read = ok ? FieldRead::Value : FieldRead::Malformed;
            return scan;
        }
    }
#endif
    const std::size_t end = FindChar(line, separator, comma + 1);
    if (end == std::string_view::npos) {
        for (std::size_t k = comma + 1; k < windowEnd && k < line.size(); ++k)
            if (IsDigit(line[k])) missingSeparator();
        return scan;
    }
    scan.separator = end;
    std::size_t b = comma + 1, e = end;
    while (b < e && line[b] == ' ') ++b;
    while (e > b && line[e - 1] == ' ') --e;
    std::size_t digit = b;
    while (digit < e && !IsDigit(line[digit])) ++digit;
    if (digit >= e || digit >= windowEnd) return scan;
    scan.start = b;
    scan.end = e;
    scan.negative = line[b] == '-';
    bool ok = true;
    if (flags) {
        ok = e - b == 8;
        for (std::size_t k = b; ok && k < e; ++k) ok = line[k] == '0' || line[k] == '1';
    } else {
        for (std::size_t k = b + (scan.negative ? 1 : 0); ok && k < e; ++k) ok = IsDigit(line[k]);
    }
    scan.read = ok ? FieldRead::Value : FieldRead::Malformed;
    return scan;
}

// Reads every value field of a record line, columns 1 .. columns - 1 (kindOf(step)
// giving each one's kind), from the read position after the name, when each
// holds a value in its exact form: take(step, scan) is called for each in
// turn and may refuse it. Returns false at the first field that is not a
// value or is refused. Such a line needs no count of its fields: a value in
// its exact form holds no separator, so the line has one value field per
// value column.
template <typename KindOf, typename Take>
bool ScanCleanRow(std::string_view line, std::size_t position, int columns, KindOf&& kindOf, Take&& take) {
    if (position == kLineRefused) return false;
    for (int step = 1; step < columns; ++step) {
        const FieldKind kind = kindOf(step);
        const std::size_t comma = FindChar(line, ',', position);
        if (comma == std::string_view::npos) return false;
        const ValueScan scan =
            ScanValue(line, comma, ColumnWidth(kind), step == columns - 1, kind == FieldKind::BitFlags, [] {});
        if (scan.read != FieldRead::Value || !take(step, scan)) return false;
        position = scan.separator;
    }
    return true;
}

}  // namespace quorvane
