#include "catalogue/readers.h"

#include "catalogue/catalogue.h"
#include "catalogue/conversions.h"

namespace quorvane {

std::string GetBYTE(const GameFileImage& file, long long offset, DebugLog& log) {
    std::string result = Int2Str(file.ByteAt(offset));
    log.Line("GetBYTE Fired Return Value ", result);
    return result;
}

std::string GetDWORD(const GameFileImage& file, long long offset, DebugLog& log) {
    const int low = file.ByteAt(offset);
    const int high = file.ByteAt(offset + 1);
    std::string result = (low < 0 || high < 0) ? std::string("-1") : Int2Str(low + 256 * high);
    log.Line("GetDWORD Fired Return Value ", result);
    return result;
}

std::string Get8BitBinaryFlags(const GameFileImage& file, long long offset, DebugLog& log) {
    const int byte = file.ByteAt(offset);
    std::string result = ByteToFlagText(byte);
    log.Line(" Get8BitBinaryFlags Fired TotalString-offs1 ", result, ' ', byte, " Hex -> ", offset);
    return result;
}

long long UnitNameOffset(int i, int j, const GameFileImage& wizards, DebugLog& log) {
    const int at = ValueOffset(i, j, 0);
    if (!wizards.Holds(at, 2)) return -1;
    const long long offset = static_cast<long long>(StrToInt(GetDWORD(wizards, at, log))) + kNameTextBase;
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
