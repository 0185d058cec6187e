#include "catalogue/readers.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"
#include "io/file_io.h"
#include "io/path_text.h"

namespace quorvane {

void TraceByteRead(int n, DebugLog& log) { log.Line("GetBYTE Fired Return Value ", n); }

void TraceWordRead(int n, DebugLog& log) { log.Line("GetDWORD Fired Return Value ", n); }

void TraceFlagRead(std::string_view text, int byte, long long offset, DebugLog& log) {
    log.Line(" Get8BitBinaryFlags Fired TotalString-offs1 ", text, ' ', byte, " Hex -> ", offset);
}

std::string ReadByteText(const GameFileImage& file, long long offset, DebugLog& log) {
    const int n = file.ByteAt(offset);
    TraceByteRead(n, log);
    return Int2Str(n);
}

std::string ReadWordText(const GameFileImage& file, long long offset, DebugLog& log) {
    const int low = file.ByteAt(offset);
    const int high = file.ByteAt(offset + 1);
    const int n = (low < 0 || high < 0) ? -1 : low + 256 * high;
    TraceWordRead(n, log);
    return Int2Str(n);
}

std::string ReadFlagText(const GameFileImage& file, long long offset, DebugLog& log) {
    const int byte = file.ByteAt(offset);
    std::string result = ByteToFlagText(byte);
    TraceFlagRead(result, byte, offset, log);
    return result;
}

int OpenGameImages(GameImages& images, GameFileImage::Access access,
                   const std::function<std::filesystem::path(GameFile)>& pathOf, ErrorSink* reports) {
    int opened = 0;
    for (GameFile f : GameFileOpenOrder()) {
        const std::filesystem::path path = pathOf(f);
        if (ImageOf(images, f).Open(path, access)) ++opened;
        else if (reports) reports->ReportProblem(Problem::OpenFailed(path));
    }
    return opened;
}

int OpenGameImages(GameImages& images, const std::filesystem::path& folder, GameFileImage::Access access,
                   ErrorSink* reports) {
    return OpenGameImages(
        images, access, [&](GameFile f) { return GamePath(folder, GameFileName(f)); }, reports);
}

long long UnitNameOffset(int i, int j, const GameFileImage& wizards, DebugLog& log) {
    const int at = ValueOffset(i, j, 0);
    if (!wizards.Holds(at, 2)) return -1;
    const long long offset = static_cast<long long>(StrToInt(ReadWordText(wizards, at, log))) + kNameTextBase;
    log.Line(offset, " Int2Str(Value) ", at, " Get_Hex_Offset(i,j,Step) ",
             " .................................................................................. Unit Name");
    return offset;
}

std::string_view NameView(int i, int j, const GameImages& images, bool* readable) {
    *readable = true;
    const GameFileImage* file = nullptr;
    long long start = 0;
    if (i >= 0 && i <= 2) {
        file = &ImageOf(images, GameFileOf(i));
        start = ValueOffset(i, j, 0);
    } else if (i >= 3 && i <= 20) {
        file = &ImageOf(images, GameFile::Wizards);
        const int at = ValueOffset(i, j, 0);
        if (!file->Holds(at, 2)) {
            *readable = false;
            return {};
        }
        start = file->ByteAt(at) + 256LL * file->ByteAt(at + 1) + kNameTextBase;
    } else if (i >= 21 && i < kSectionCount) {
        return RowLabel(i, j);
    } else {
        return "Error Retrieving Name";
    }
    if (!file->Holds(start, kNameBytes)) {
        *readable = false;
        return {};
    }
    const std::string_view bytes(file->Data() + start, static_cast<std::size_t>(kNameBytes));
    return bytes.substr(0, bytes.find('\0'));
}

std::string ReadName(int i, int j, const GameImages& images, DebugLog& log, bool* readable) {
    // The pointer's trace, as the unit name reader gives it.
    if (i >= 3 && i <= 20 && log.IsOpen()) UnitNameOffset(i, j, ImageOf(images, GameFile::Wizards), log);
    return std::string(NameView(i, j, images, readable));
}

}  // namespace quorvane
