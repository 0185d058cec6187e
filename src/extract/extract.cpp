#include "extract/extract.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "rules/file_io.h"
#include "rules/format.h"

namespace quorvane {

void WriteNameRules(Session& s, std::string& rules, const std::string& name, int i, int j, int step, int last) {
    s.log.Line(" WriteNameRules ********************** ", name, " section ", Header(i));
    AppendNameField(rules, name);
    if (last == 0) {
        rules += ',';
    } else {
        rules += ';';
        rules += kLineEnd;
    }
    s.grid.SetArrayValue(i, j, step, name);
}

void DataRules(Session& s, int i, int j, int step, const GameFileImage& input, std::string& rules, int offset) {
    s.log.Line(" DataRules(int i,int j,int Step,fstream& InputFile,ofstream& Rules) ");
    const FieldKind kind = GetFieldKind(i, j, step);
    std::string total;
    if (!input.Holds(offset, FieldBytes(kind))) {
        total = kValueNotFound;
    } else if (i == kDestroyedItemsSection) {
        total = GetDWORD(input, offset, s.log);
        const int code = StrToInt(total);
        if (code == kCode50) total = "50";
        else if (code == kCode25) total = "25";
    } else if (kind == FieldKind::BitFlags) {
        total = Get8BitBinaryFlags(input, offset, s.log);
    } else if (kind == FieldKind::Word) {
        total = GetDWORD(input, offset, s.log);
        const int n = StrToInt(total);
        if (n >= 60001) total = Int2Str(n - 65536);  // 60001 .. 65535 show as -5535 .. -1
    } else {
        total = GetBYTE(input, offset, s.log);
        const int n = StrToInt(total);
        if (n >= 241) total = Int2Str(n - 256);  // 241 .. 255 show as -15 .. -1
    }
    AppendValueField(rules, total, ColumnWidth(kind));
    s.grid.SetArrayValue(i, j, step, total);
}

void ExtractFromGameFiles(Session& s) {
    AtomicFileWriter writer;
    const bool rulesOpen = writer.Begin(s.rulesPath);
    if (!rulesOpen) s.Report("Error opening ", s.rulesPath);

    std::string rules;
    rules.reserve(200000);
    AppendVersionLine(rules);

    GameImages images;
    for (GameFile f : GameFileOpenOrder()) {
        const std::string path = GamePath(s.gameFolder, GameFileName(f));
        if (!ImageOf(images, f).Open(path)) s.Report("Error opening ", path);
    }

    for (int i = 0; i < kSectionCount; ++i) {
        rules += kLineEnd;
        AppendDirective(rules, Header(i));
        const GameFileImage& input = ImageOf(images, GameFileOf(i));
        const int columns = Columns(i);
        for (int j = 0; j < Rows(i); ++j) {
            s.log.Line("loop j ", j);
            for (int step = 0; step < columns; ++step) {
                if (step == 0) {
                    bool readable = true;
                    const std::string name = ReadName(i, j, images, s.log, &readable);
                    WriteNameRules(s, rules, readable ? name : std::string(kValueNotFound), i, j, 0, 0);
                } else {
                    DataRules(s, i, j, step, input, rules, ValueOffset(i, j, step));
                    if (step < columns - 1) {
                        rules += ',';
                    } else {
                        rules += ';';
                        rules += kLineEnd;
                    }
                }
                s.log.Line("Step Loop ", step);
            }
        }
        AppendDirective(rules, Header(kHeaderEnd));
        s.progress().Step();
    }

    if (rulesOpen && !writer.Commit(rules)) s.Report("Error opening ", s.rulesPath);
}

}  // namespace quorvane
