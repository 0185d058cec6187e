#include "writeback/dry_run.h"

#include "catalogue/catalogue.h"
#include "catalogue/readers.h"
#include "extract/extract.h"
#include "io/file_io.h"
#include "rules/format.h"
#include "writeback/pipeline.h"

namespace quorvane {

namespace {

// True when the write changes a byte of the cell's further place.
bool FurtherPlaceChanges(const CellSpot& spot, const GameImages& now, const GameImages& after) {
    if (!spot.hasCopy) return false;
    const GameFileImage& original = ImageOf(now, spot.copy.file);
    const GameFileImage& written = ImageOf(after, spot.copy.file);
    if (!written.IsOpen() || !original.IsOpen()) return false;
    for (int k = 0; k < FieldBytes(spot.kind); ++k)
        if (original.ByteAt(spot.copy.offset + k) != written.ByteAt(spot.copy.offset + k)) return true;
    return false;
}

}  // namespace

void OpenGameImagesToCompare(const Session& s, const GameFileSources* sources, GameImages& images) {
    if (!sources) {
        OpenGameImages(images, s.gameFolder, GameFileImage::Access::ReadOnly, nullptr);
        return;
    }
    OpenGameImages(
        images, GameFileImage::Access::ReadOnly, [&](GameFile f) { return (*sources)[static_cast<std::size_t>(f)]; },
        nullptr);
}

DryRunResult DryRunWrite(Session& s, const std::string* rulesText, const GameFileSources* compareWith) {
    DryRunResult result;
    // A run that only reads makes no lock file, but waits for no one either:
    // a write in progress is refused as the real write would be.
    FolderLock lock;
    if (!lock.TryAcquire(s.gameFolder, /*create=*/false)) {
        s.Report(lock.Refusal());
        return result;
    }
    std::string content;
    if (rulesText) content = *rulesText;
    else if (!ReadRulesForWriting(s, &content)) return result;

    GameImages now;
    OpenGameImagesToCompare(s, compareWith, now);
    GameImages after;
    WriteRulesIntoImages(s, std::move(content), after);
    result.ran = true;

    DebugLog quiet;
    for (int i = 0; i < kSectionCount; ++i) {
        const GameFile f = GameFileOf(i);
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 1; step < Columns(i); ++step) {
                const long long offset = ValueOffset(i, j, step);
                std::string before = ExtractValueText(i, j, step, ImageOf(now, f), offset, quiet);
                // A file that could not be opened for writing is not written.
                const GameFileImage& written = ImageOf(after, f).IsOpen() ? ImageOf(after, f) : ImageOf(now, f);
                std::string later = ExtractValueText(i, j, step, written, offset, quiet);
                const bool textChanges = before != later;
                if (!textChanges && !FurtherPlaceChanges(SpotOf(CellIndex(i, j, step)), now, after)) continue;
                bool readable = true;
                std::string name = ExtractedName(i, j, now, quiet, &readable);
                if (!readable) name = kValueNotFound;
                (textChanges ? result.cells : result.furtherPlaces)
                    .push_back({i, j, step, std::move(before), std::move(later), std::move(name)});
            }
    }
    for (int k = 0; k < kGameFileCount; ++k) {
        const auto f = static_cast<GameFile>(k);
        const GameFileImage& written = ImageOf(after, f);
        const GameFileImage& original = ImageOf(now, f);
        if (!written.IsOpen() || !original.IsOpen() || written.Size() != original.Size()) continue;
        for (const auto& [begin, end] : written.ChangedRanges())
            for (std::size_t at = begin; at < end; ++at) {
                const int was = original.ByteAt(static_cast<long long>(at));
                const int is = written.ByteAt(static_cast<long long>(at));
                if (was != is)
                    result.bytes.push_back({f, at, static_cast<std::uint8_t>(was), static_cast<std::uint8_t>(is)});
            }
    }
    return result;
}

}  // namespace quorvane
