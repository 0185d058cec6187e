#include "writeback/cell_check.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "rules/format.h"
#include "rules/record_reader.h"
#include "writeback/pipeline.h"

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

// The number extraction shows for a stored number: the top of a byte's or a
// word's range as a negative number.
long long DisplayNumber(long long n, FieldKind kind, int i) {
    if (i != kDestroyedItemsSection) {
        if (kind == FieldKind::Byte && n >= 241 && n <= 255) return n - 256;
        if (kind == FieldKind::Word && n >= 60001 && n <= 65535) return n - 65536;
    }
    return n;
}

}  // namespace

std::string AllowedRange(int i, int j, int step) {
    const FieldKind kind = GetFieldKind(i, j, step);
    if (i == kDestroyedItemsSection) return "25 or 50";
    if (kind == FieldKind::BitFlags) return "eight characters 0 or 1, bit 7 first";
    const std::optional<Place> copy = SecondCopyOf(i, j, step);
    const int add = copy ? copy->add : 0;
    const int maximum = (kind == FieldKind::Byte ? 255 : 65535) - add;
    const int negativeFrom = kind == FieldKind::Byte ? 241 : 60001;
    const int base = kind == FieldKind::Byte ? 256 : 65536;
    std::string text = "0 to " + Int2Str(maximum);
    if (maximum >= negativeFrom)
        text += ", or " + Int2Str(negativeFrom - base) + " to " + Int2Str(maximum - base) + " for " + Int2Str(negativeFrom) +
                " to " + Int2Str(maximum);
    return text;
}

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
    const FieldKind kind = GetFieldKind(i, j, step);
    const bool last = step == Columns(i) - 1;
    if (text.find_first_of(",\r\n") != std::string_view::npos)
        return refuse(" The text holds a comma or line end, which would shift the row's later values.");
    if (!last && text.find(';') != std::string_view::npos)
        return refuse(" The text holds a semicolon, which would end the row's line early.");

    // The field as a save writes it, read as write-back reads it.
    std::string line = "\"\",";
    AppendValueField(line, text, ColumnWidth(kind));
    line += last ? ';' : ',';
    const bool flags = kind == FieldKind::BitFlags;
    const ValueScan scan = ScanValue(line, 2, ColumnWidth(kind), last, flags, [] {});
    if (scan.read == FieldRead::Missing || (scan.read == FieldRead::Malformed && !flags))
        return refuse(" Decimal Number expected.");
    if (flags) return scan.read == FieldRead::Value ? result : refuse(" Binary string expected.");
    const std::size_t digits = scan.start + (scan.negative ? 1 : 0);
    const std::string_view value = std::string_view(line).substr(digits, scan.end - digits);

    bool overflow = false;
    long long n = LeadingNumber(value, &overflow);
    if (scan.negative && !overflow) n = (kind == FieldKind::Byte ? 256 : 65536) - n;
    if (const char* refusal = NumberRefusal(i, j, step, n, overflow)) return refuse(refusal);
    result.stored = n;
    // A plain number is written as it looks when it is the stored number or
    // the number extraction will show for it ("-1" for 255); any other text,
    // "-20" stored as 236 among them, gets a warning.
    long long looks = 0;
    const long long shown = DisplayNumber(n, kind, i);
    if (!PlainNumber(text, &looks) || (looks != n && looks != shown)) {
        result.verdict = CellCheck::Verdict::Warning;
        result.message = "Written as " + Int2Str(shown) + ".";
    }
    return result;
}

}  // namespace quorvane
