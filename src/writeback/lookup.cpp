#include "writeback/lookup.h"

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "rules/record_reader.h"

namespace quorvane {

namespace {

// Reports a problem on the current line about cell (i, j, step).
void RecordProblem(Session& s, int i, int j, int step, std::string message) {
    s.ReportProblem(LineProblem(ProblemCode::RecordLine, s.reader.LineNumber, i, j, step, std::move(message)));
}

void FindDirective(Session& s, int i, LineSource& rules) {
    const std::string& header = Header(i);
    const bool found = FindDirectiveLine(s.reader, rules, header, kWriteBackSearchLimit, [&] {
        s.log.Line(" Label missing - FindRulesNumber ");
        Problem missing;
        missing.code = ProblemCode::DirectiveMissing;
        missing.line = s.reader.LineNumber;
        missing.section = i;
        missing.header = header;
        s.ReportProblem(missing);
    });
    if (found) s.log.Line("FindRulesNumber found [", header, "] at line ", s.reader.LineNumber - 1);
}

// After the last value of a section's last row: reads the line after it,
// which must hold the end text.
void CheckEndLine(Session& s, int i, LineSource& rules, LookupResult& result) {
    ReaderState& r = s.reader;
    rules.GetLine(r.Line);
    ++r.LineNumber;
    result.endChecked = true;
    if (r.Line.find(Header(kHeaderEnd)) != std::string::npos) return;
    s.log.Line(" end missing - FindRulesNumber ");
    RecordProblem(s, i, -1, -1, " [END] expected.");
    result.endMissing = true;
    result.endLine = r.LineNumber;
}

// The value field the scan read in the current line, a digit within its
// window: checked and its sign applied. A field that is not a plain number
// (or, for a flag byte, eight 0/1 characters) is reported and yields no
// number to write.
void TakeValue(Session& s, int i, int j, int step, const FieldCodec& codec, const ValueScan& scan, LineSource& rules,
               LookupResult& result) {
    const ReaderState& r = s.reader;
    const bool last = step == Columns(i) - 1;
    // A view into the rules text, which stays whole while it is read (the end
    // line read below does not move it).
    const std::string_view field = r.Line.substr(scan.start, scan.end - scan.start);
    s.log.Line("FindRulesNumber value ", field, " i ", i, " j ", j, " Step ", step);
    const bool flags = codec.IsFlags();
    if (scan.read == FieldRead::Malformed) {
        // A flag byte is written only from its exact form, a number only
        // from digits after at most one '-': letters, a second sign or a
        // decimal point make a text that no part of it stands for.
        s.log.Line(flags ? " binary expected in FindRulesNumber " : " Number String empty in FindRulesNumber ");
        RecordProblem(s, i, j, step, flags ? " Binary string expected." : " Decimal Number expected.");
        result.valueProblem = true;
    }
    if (last && j + 1 == Rows(i)) CheckEndLine(s, i, rules, result);
    if (flags) {
        result.value.assign(field);
        return;
    }
    if (result.valueProblem) return;
    const std::string_view digits = field.substr(scan.negative ? 1 : 0);
    result.number = LeadingNumber(digits, &result.overflow);
    if (scan.negative) {
        s.log.Line("FindRulesNumber before sign ", digits);
        result.number = codec.FromText(StrToInt(digits), true);
        result.value = Int2Str(result.number);
        s.log.Line("FindRulesNumber after sign ", result.value);
        return;
    }
    result.value.assign(digits);
}

}  // namespace

void FindRulesNumber(Session& s, int i, int j, int step, const FieldCodec& codec, LineSource& rules,
                     LookupResult& result) {
    ReaderState& r = s.reader;
    result.value.assign(1, '0');
    result.valueProblem = result.overflow = result.endChecked = result.endMissing = false;
    result.number = 0;
    result.recordLine = result.endLine = 0;
    result.named = false;
    result.name = {};
    if (step == 0) {
        if (j == 0) FindDirective(s, i, rules);
        else NextRecordLine(r, rules);
        result.recordLine = r.LineNumber;
        // The name is skipped as the loader reads it, quotes and all.
        const NameField name = FindNameField(r.Line);
        StartRecordLine(r, name);
        result.named = name.found;
        result.name = name.text;
        return;
    }
    s.log.Line("FindRulesNumber ", i, " ", j, " ", step, " Line ", r.Line);
    result.recordLine = r.LineNumber;
    if (step == 1) {
        const int fields = CheckFieldCount(r, Columns(i));
        if (r.position == kLineRefused) {
            s.log.Line(" field count in FindRulesNumber ", fields);
            RecordProblem(s, i, j, -1, " " + FieldCountText(fields, Columns(i)) + ": none of them was written.");
        }
    }
    if (r.position == kLineRefused) {
        // Reported once, at the line's start.
        result.valueProblem = true;
        return;
    }
    const std::size_t comma = FindChar(r.Line, ',', r.position);
    if (comma == std::string_view::npos) {
        s.log.Line(" 1st in FindRulesNumber ");
        RecordProblem(s, i, j, step, " Comma expected.");
        result.valueProblem = true;
        return;
    }
    const bool last = step == Columns(i) - 1;
    const ValueScan scan = ScanValue(r.Line, comma, codec.Width(), last, codec.IsFlags(), [&] {
        result.valueProblem = true;
        s.log.Line(last ? " Second in FindRulesNumber " : " Second comma in FindRulesNumber ");
        RecordProblem(s, i, j, step, last ? " Semi-colon expected." : " Comma expected.");
    });
    // The next column's comma is the separator that ended this field,
    // whatever the field held: one bad value never moves another.
    if (scan.separator != std::string_view::npos) r.position = last ? 0 : scan.separator;
    if (scan.read != FieldRead::Missing) {
        TakeValue(s, i, j, step, codec, scan, rules, result);
        return;
    }
    s.log.Line(" Number String empty in FindRulesNumber ");
    RecordProblem(s, i, j, step, " Decimal Number expected.");
    result.valueProblem = true;
}

LookupResult FindRulesNumber(Session& s, int i, int j, int step, LineSource& rules) {
    LookupResult result;
    FindRulesNumber(s, i, j, step, CodecOf(SpotOrByte(i, j, step)), rules, result);
    return result;
}

}  // namespace quorvane
