#include "extract/extract.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/codec.h"
#include "catalogue/conversions.h"
#include "catalogue/game_file.h"
#include "catalogue/layout.h"
#include "io/file_io.h"
#include "rules/format.h"

namespace quorvane {

namespace {

// Room for any text a value extracts to: eight flag digits or a 64-bit number.
using ValueBuffer = std::array<char, 24>;

// The text extraction gives a value kept by codec at offset of input, put
// into buffer when it is not a fixed text.
std::string_view ExtractValueInto(const FieldCodec& codec, const GameFileImage& input, long long offset, DebugLog& log,
                                  ValueBuffer& buffer) {
    if (!input.Holds(offset, codec.bytes)) return kValueNotFound;
    // The bytes are there: the number is read straight from them (the trace
    // says what the readers say).
    const int raw = FieldCodec::Raw(reinterpret_cast<const unsigned char*>(input.Data()) + offset, codec.bytes);
    const std::string_view text = codec.Display(codec.Decode(raw), buffer.data());
    if (log.IsOpen()) {
        if (codec.IsFlags()) TraceFlagRead(text, raw, offset, log);
        else if (codec.bytes == 2) TraceWordRead(raw, log);
        else TraceByteRead(raw, log);
    }
    return text;
}

}  // namespace

std::string ExtractValueText(int i, int j, int step, const GameFileImage& input, long long offset, DebugLog& log) {
    ValueBuffer buffer;
    return std::string(ExtractValueInto(CodecOf(SpotOrByte(i, j, step)), input, offset, log, buffer));
}

std::string ExtractedName(int i, int j, const GameImages& images, DebugLog& log, bool* readable) {
    return CleanName(ReadName(i, j, images, log, readable));
}

namespace {

// The game file a row's name is read from: its own file for the three LBX
// sections, WIZARDS.EXE (through the name pointers) for units and races.
GameFile NameFileOf(int i) { return i <= 2 ? GameFileOf(i) : GameFile::Wizards; }
bool NameComesFromGameFile(int i) { return i <= kLastNamedFromGameSection; }

}  // namespace

ExtractedText ExtractImages(const GameImages& images, ErrorSink& errors, DebugLog& log, ProgressSink* progress) {
    // The rules text is built whole; the cells view each text where it was
    // put in it.
    auto rules = std::make_unique<std::string>();
    rules->reserve(200000);
    AppendVersionLine(*rules);
    std::vector<std::pair<std::size_t, std::size_t>> placed(static_cast<std::size_t>(kInUseCells));

    // Cells that read "Value Not Found" because an open file ends too soon.
    std::array<int, kGameFileCount> cutOff{};
    std::string name;
    std::vector<std::string_view> texts;  // one row's texts, the name first
    std::vector<ValueBuffer> buffers;     // where the row's values are put

    for (int i = 0; i < kSectionCount; ++i) {
        *rules += kLineEnd;
        AppendDirective(*rules, Header(i));
        const GameFileImage& input = ImageOf(images, GameFileOf(i));
        const int columns = Columns(i);
        texts.resize(static_cast<std::size_t>(columns));
        buffers.resize(static_cast<std::size_t>(columns));
        for (int j = 0; j < Rows(i); ++j) {
            log.Line("loop j ", j);
            bool readable = true;
            name = ReadName(i, j, images, log, &readable);
            texts[0] = readable ? std::string_view(name) : std::string_view(kValueNotFound);
            log.Line(" WriteNameRules ********************** ", texts[0], " section ", Header(i));
            if (!readable && NameComesFromGameFile(i) && ImageOf(images, NameFileOf(i)).IsOpen())
                ++cutOff[static_cast<std::size_t>(NameFileOf(i))];
            log.Line("Step Loop ", 0);
            const int rowCell = kSectionCellStart[static_cast<std::size_t>(i)] + j * columns;
            for (int step = 1; step < columns; ++step) {
                log.Line(" DataRules(int i,int j,int Step,fstream& InputFile,ofstream& Rules) ");
                const auto at = static_cast<std::size_t>(step);
                const CellSpot& spot = SpotOf(rowCell + step);
                texts[at] = ExtractValueInto(CodecOf(spot), input, spot.offset, log, buffers[at]);
                if (input.IsOpen() && !input.Holds(spot.offset, FieldBytes(spot.kind)))
                    ++cutOff[static_cast<std::size_t>(GameFileOf(i))];
                log.Line("Step Loop ", step);
            }
            AppendRecordLine(
                *rules, i, j, [&](int step) { return texts[static_cast<std::size_t>(step)]; },
                [&](int step, std::size_t at, std::size_t length) {
                    placed[static_cast<std::size_t>(rowCell + step)] = {at, length};
                });
        }
        AppendDirective(*rules, Header(kHeaderEnd));
        if (progress) progress->Step();
    }

    for (int f = 0; f < kGameFileCount; ++f) {
        const int n = cutOff[static_cast<std::size_t>(f)];
        if (n == 0) continue;
        Problem cut;
        cut.code = ProblemCode::FileEndsEarly;
        cut.path = ImageOf(images, static_cast<GameFile>(f)).Path();
        cut.count = n;
        errors.ReportProblem(cut);
    }
    std::vector<std::string_view> cells(placed.size());
    for (std::size_t c = 0; c < placed.size(); ++c) cells[c] = std::string_view(*rules).substr(placed[c].first, placed[c].second);
    return {std::move(rules), std::move(cells)};
}

bool ExtractFromGameFiles(Session& s) {
    GameFolderLocks lock;
    if (!lock.TryAcquire(s.gameFolder, GameFilePaths(s.gameFolder), /*writes=*/false)) {
        s.Report(lock.Refusal());
        return false;
    }
    AtomicFileWriter writer;
    const bool rulesExisted = EntryKindOf(s.rulesPath) != EntryKind::Missing;
    const bool rulesOpen = writer.Begin(s.rulesPath);
    if (!rulesOpen) s.ReportProblem(Problem::OpenFailed(s.rulesPath));

    // Extraction only reads: read-only game files are fine.
    GameImages images;
    const bool anyOpen = OpenGameImages(images, s.gameFolder, GameFileImage::Access::ReadOnly, &s.errors()) > 0;
    // Not one value could be read (the wrong folder): the rules file and the
    // grid keep what they hold instead of 12,450 failure texts.
    if (!anyOpen) {
        s.Report("No game file could be opened; ", s.rulesPath, " was left unchanged.");
        return false;
    }
    ExtractedText extracted = ExtractImages(images, s.errors(), s.log, &s.progress());
    const std::string& text = *extracted.rules;
    s.grid.Replace(std::move(extracted.rules), std::move(extracted.cells));
    if (rulesOpen && !writer.Commit(text)) s.Report(NotWrittenReport(s.rulesPath, writer.errorString(), rulesExisted));
    if (rulesOpen && !writer.Lost().empty()) s.Report(LostAttributesReport(s.rulesPath, writer.Lost()));
    return true;
}

}  // namespace quorvane
