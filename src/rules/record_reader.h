// The one reader of record lines, shared by the loader and the write-back
// lookup: the directive search, the step to the next line, and the scan for a
// value after a comma within its window. Each caller brings its own report
// texts, trace lines and tolerances.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "session/session.h"
#include "rules/format.h"

namespace quorvane {

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
    r.Line.clear();
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
    for (std::size_t k = comma + 1; k <= stop && k < line.size(); ++k) {
        const char c = line[k];
        const bool digit = c >= '0' && c <= '9';
        if (c == '-' && minus == MinusSign::IsFlag) {
            scan.negative = true;
            continue;
        }
        if (!digit && !(c == '-' && minus == MinusSign::StartsValue)) continue;
        const std::size_t end = line.find(last ? ';' : ',', k);
        if (end == std::string_view::npos) {
            missingSeparator();
            continue;
        }
        scan.found = true;
        scan.start = k;
        scan.end = end;
        return scan;
    }
    return scan;
}

}  // namespace quorvane
