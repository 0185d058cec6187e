#include "writeback/lookup.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"

namespace quorvane {

namespace {

void RecordProblem(Session& s, int i, const char* message) {
    s.Report("Line: ", Int2Str(s.reader.LineNumber), " In ", "[", Header(i), "]", " section ", message);
}

void FindDirective(Session& s, int i, LineSource& rules) {
    ReaderState& r = s.reader;
    const std::string& header = Header(i);
    rules.GetLine(r.Line);
    while (!rules.Failed()) {
        ++r.LineNumber;
        if (r.Line.find(header) != std::string::npos) {
            s.log.Line("FindRulesNumber found [", header, "] at line ", r.LineNumber);
            rules.GetLine(r.Line);
            ++r.LineNumber;
            r.position = 0;
            return;
        }
        if (r.LineNumber > kWriteBackSearchLimit) {
            s.log.Line(" Label missing - FindRulesNumber ");
            s.Report("Line: ", Int2Str(r.LineNumber), "[", header, "]", " expected.");
        }
        rules.GetLine(r.Line);
    }
}

}  // namespace

LookupResult FindRulesNumber(Session& s, int i, int j, int step, LineSource& rules) {
    ReaderState& r = s.reader;
    LookupResult result;
    if (step == 0) {
        if (j == 0) {
            FindDirective(s, i, rules);
        } else {
            rules.GetLine(r.Line);
            ++r.LineNumber;
            r.position = 0;
        }
        result.recordLine = r.LineNumber;
        return result;
    }

    s.log.Line("FindRulesNumber ", i, " ", j, " ", step, " Line ", r.Line);
    const FieldKind kind = GetFieldKind(i, j, step);
    const std::size_t width = static_cast<std::size_t>(ColumnWidth(kind));
    const std::string& line = r.Line;
    result.recordLine = r.LineNumber;
    const std::size_t comma = line.find(',', r.position);
    if (comma == std::string::npos) {
        s.log.Line(" 1st in FindRulesNumber ");
        RecordProblem(s, i, " Comma expected.");
        result.valueProblem = true;
        return result;
    }
    const bool last = step == Columns(i) - 1;
    bool negative = false;
    for (std::size_t k = comma; k <= comma + width + 2 && k < line.size(); ++k) {
        const char c = line[k];
        if (k == comma) continue;
        if (c == '-') {
            negative = true;
            continue;
        }
        if (c < '0' || c > '9') continue;
        const std::size_t end = line.find(last ? ';' : ',', k);
        if (end == std::string::npos) {
            result.valueProblem = true;
            if (last) {
                s.log.Line(" Second in FindRulesNumber ");
                RecordProblem(s, i, " Semi-colon expected.");
            } else {
                s.log.Line(" Second comma in FindRulesNumber ");
                RecordProblem(s, i, " Comma expected.");
            }
            continue;
        }
        std::string value = line.substr(k, end - k);
        s.log.Line("FindRulesNumber value ", value, " i ", i, " j ", j, " Step ", step);
        // A flag byte is written only from its exact form: eight characters
        // 0 or 1 (trailing blanks aside); anything else would set bits the
        // text does not show.
        if (kind == FieldKind::BitFlags && !IsFlagText(value)) {
            s.log.Line(" binary expected in FindRulesNumber ");
            RecordProblem(s, i, " Binary string expected.");
            result.valueProblem = true;
        }
        if (last) {
            if (j + 1 == Rows(i)) {
                rules.GetLine(r.Line);
                ++r.LineNumber;
                result.endChecked = true;
                if (r.Line.find(Header(kHeaderEnd)) == std::string::npos) {
                    s.log.Line(" end missing - FindRulesNumber ");
                    RecordProblem(s, i, " [END] expected.");
                    result.endMissing = true;
                    result.endLine = r.LineNumber;
                }
            }
            r.position = 0;
        } else {
            r.position = k;
        }
        if (kind != FieldKind::BitFlags) {
            result.number = LeadingNumber(value, &result.overflow);
            if (negative) {
                const int base = kind == FieldKind::Byte ? 256 : 65536;
                s.log.Line("FindRulesNumber before sign ", value);
                result.number = base - static_cast<long long>(StrToInt(value));
                value = Int2Str(result.number);
                s.log.Line("FindRulesNumber after sign ", value);
            }
        }
        result.value = std::move(value);
        return result;
    }
    s.log.Line(" Number String empty in FindRulesNumber ");
    RecordProblem(s, i, " Decimal Number expected.");
    result.valueProblem = true;
    return result;
}

}  // namespace quorvane
