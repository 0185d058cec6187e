#include "extract/extract.h"

#include <array>

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"

namespace quorvane {

void WriteNameRules(Session& s, const std::string& name, int i, int j) {
    s.log.Line(" WriteNameRules ********************** ", name, " section ", Header(i));
    s.grid.SetArrayValue(i, j, 0, name);
}

std::string ExtractValueText(int i, int j, int step, const GameFileImage& input, long long offset, DebugLog& log) {
    const int cell = CellIndex(i, j, step);
    const FieldKind kind = cell < 0 ? GetFieldKind(i, j, step) : SpotOf(cell).kind;
    if (!input.Holds(offset, FieldBytes(kind))) return kValueNotFound;
    if (kind == FieldKind::BitFlags) return Get8BitBinaryFlags(input, offset, log);
    // The bytes are there: the number is read straight from them (the trace
    // says what the readers GetBYTE and GetDWORD say).
    int n = input.ByteAt(offset);
    if (kind == FieldKind::Word) {
        n += 256 * input.ByteAt(offset + 1);
        log.Line("GetDWORD Fired Return Value ", n);
    } else {
        log.Line("GetBYTE Fired Return Value ", n);
    }
    if (i == kDestroyedItemsSection) {
        if (n == kCode50) return "50";
        if (n == kCode25) return "25";
    } else if (kind == FieldKind::Word) {
        if (n >= 60001) n -= 65536;  // 60001 .. 65535 show as -5535 .. -1
    } else if (n >= 241) {
        n -= 256;  // 241 .. 255 show as -15 .. -1
    }
    return Int2Str(n);
}

bool DataRules(Session& s, int i, int j, int step, const GameFileImage& input, int offset) {
    s.log.Line(" DataRules(int i,int j,int Step,fstream& InputFile,ofstream& Rules) ");
    std::string text = ExtractValueText(i, j, step, input, offset, s.log);
    const bool read = text != kValueNotFound;
    s.grid.SetArrayValue(i, j, step, text);
    return read;
}

namespace {

// The game file a row's name is read from: its own file for the three LBX
// sections, WIZARDS.EXE (through the name pointers) for units and races.
GameFile NameFileOf(int i) { return i <= 2 ? GameFileOf(i) : GameFile::Wizards; }
bool NameComesFromGameFile(int i) { return i <= kLastNamedFromGameSection; }

}  // namespace

bool ExtractFromGameFiles(Session& s) {
    FolderLock lock;
    if (!lock.TryAcquire(s.gameFolder)) {
        s.Report(FolderInUse(s.gameFolder));
        return false;
    }
    // Every cell is set below: the texts the grid held are freed first, so
    // repeated extractions do not pile them up.
    s.grid.Initialise();
    AtomicFileWriter writer;
    const bool rulesOpen = writer.Begin(s.rulesPath);
    if (!rulesOpen) s.Report("Error opening ", s.rulesPath);

    std::string rules;
    rules.reserve(200000);
    AppendVersionLine(rules);

    GameImages images;
    for (GameFile f : GameFileOpenOrder()) {
        const auto path = GamePath(s.gameFolder, GameFileName(f));
        // Extraction only reads: read-only game files are fine.
        if (!ImageOf(images, f).Open(path, GameFileImage::Access::ReadOnly)) s.Report("Error opening ", path);
    }
    // Cells that read "Value Not Found" because an open file ends too soon.
    std::array<int, kGameFileCount> cutOff{};

    for (int i = 0; i < kSectionCount; ++i) {
        rules += kLineEnd;
        AppendDirective(rules, Header(i));
        const GameFileImage& input = ImageOf(images, GameFileOf(i));
        const int columns = Columns(i);
        for (int j = 0; j < Rows(i); ++j) {
            s.log.Line("loop j ", j);
            bool readable = true;
            const std::string name = ReadName(i, j, images, s.log, &readable);
            WriteNameRules(s, readable ? name : std::string(kValueNotFound), i, j);
            if (!readable && NameComesFromGameFile(i) && ImageOf(images, NameFileOf(i)).IsOpen())
                ++cutOff[static_cast<std::size_t>(NameFileOf(i))];
            s.log.Line("Step Loop ", 0);
            const int rowCell = kSectionCellStart[static_cast<std::size_t>(i)] + j * columns;
            for (int step = 1; step < columns; ++step) {
                if (!DataRules(s, i, j, step, input, SpotOf(rowCell + step).offset) && input.IsOpen())
                    ++cutOff[static_cast<std::size_t>(GameFileOf(i))];
                s.log.Line("Step Loop ", step);
            }
            AppendRecordLine(rules, i, j, [&](int step) { return s.grid.GetArrayValue(i, j, step); });
        }
        AppendDirective(rules, Header(kHeaderEnd));
        s.progress().Step();
    }

    for (int f = 0; f < kGameFileCount; ++f) {
        const int n = cutOff[static_cast<std::size_t>(f)];
        if (n > 0)
            s.Report(ImageOf(images, static_cast<GameFile>(f)).Path(), " ends before ", Int2Str(n),
                     " of its values; they read Value Not Found.");
    }
    if (rulesOpen && !writer.Commit(rules)) s.Report("Error opening ", s.rulesPath);
    return true;
}

}  // namespace quorvane
