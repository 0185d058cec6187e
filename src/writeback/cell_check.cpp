#include "writeback/cell_check.h"

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "rules/record_reader.h"

namespace quorvane {

namespace {

// The number a plain decimal text (blanks around, one optional '-') shows;
// false for any other text.
bool PlainNumber(std::string_view text, long long* shown) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 12) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    bool overflow = false;
    const long long n = LeadingNumber(text, &overflow);
    *shown = negative ? -n : n;
    return true;
}

}  // namespace

CellCheck CheckCell(int i, int j, int step, std::string_view text) {
    CellCheck result;
    result.range = AllowedRange(i, j, step);
    const auto refuse = [&](std::string message) {
        result.verdict = CellCheck::Verdict::Refused;
        result.message = std::move(message);
        return result;
    };
    // A comma or a line end would put the row's later values out of line,
    // and a semicolon before the row's last column would end its line early:
    // the write would refuse the whole line. (After the last value a
    // semicolon ends the line, and what follows it is never read.)
    const CellSpot& spot = SpotOrByte(i, j, step);
    const FieldCodec& codec = CodecOf(spot);
    const bool last = step == Columns(i) - 1;
    if (text.find_first_of(",\r\n") != std::string_view::npos)
        return refuse(" The text holds a comma or line end, which would shift the row's later values.");
    if (!last && text.find(';') != std::string_view::npos)
        return refuse(" The text holds a semicolon, which would end the row's line early.");

    // The field as a save writes it, read as write-back reads it.
    std::string line = "\"\",";
    AppendValueField(line, text, codec.Width());
    line += last ? ';' : ',';
    const bool flags = codec.IsFlags();
    const ValueScan scan = ScanValue(line, 2, codec.Width(), last, flags, [] {});
    if (scan.read == FieldRead::Missing || (scan.read == FieldRead::Malformed && !flags))
        return refuse(" Decimal Number expected.");
    if (flags) return scan.read == FieldRead::Value ? result : refuse(" Binary string expected.");
    const std::size_t digits = scan.start + (scan.negative ? 1 : 0);
    const std::string_view value = std::string_view(line).substr(digits, scan.end - digits);

    bool overflow = false;
    long long n = LeadingNumber(value, &overflow);
    if (!overflow) n = codec.FromText(n, scan.negative);
    if (const char* refusal = CellRefusal(spot, n, overflow)) return refuse(refusal);
    result.stored = n;
    // A plain number is written as it looks when it is the stored number or
    // the number extraction will show for it ("-1" for 255); any other text,
    // "-20" stored as 236 among them, gets a warning.
    long long looks = 0;
    const long long shown = codec.Shown(n);
    if (!PlainNumber(text, &looks) || (looks != n && looks != shown)) {
        result.verdict = CellCheck::Verdict::Warning;
        result.message = "Written as " + Int2Str(shown) + ".";
    }
    return result;
}

}  // namespace quorvane
