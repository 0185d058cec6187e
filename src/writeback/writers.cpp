#include "writeback/writers.h"

#include "catalogue/conversions.h"
#include "catalogue/layout.h"

namespace quorvane {

int WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    return WriteBYTE(file, offset, StrToInt(value), log);
}

int WriteBYTE(GameFileImage& file, long long offset, int value, DebugLog& log) {
    file.PutByte(offset, static_cast<std::uint8_t>(value & 0xFF));
    if (log.IsOpen()) log.Line(" WriteBYTE Hex -> ", Int2Hex(static_cast<int>(offset)), " <- Hex Value -> ", value);
    return 0;
}

int WriteDWORD(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    return WriteDWORD(file, offset, StrToInt(value), log);
}

int WriteDWORD(GameFileImage& file, long long offset, int n, DebugLog& log) {
    if (n >= 0 && n <= 0xFFFF && !log.IsOpen()) {
        // For 0 .. 65535 the split of the hexadecimal digits below gives
        // exactly the low and the high byte.
        file.PutByte(offset, static_cast<std::uint8_t>(n & 0xFF));
        file.PutByte(offset + 1, static_cast<std::uint8_t>(n >> 8));
        return 0;
    }
    std::string total = Int2Hex(n);
    if (total.size() > 4) total.resize(4);
    std::string high;
    std::string low;
    switch (total.size()) {
        case 4: high = total.substr(0, 2); low = total.substr(2, 2); break;
        case 3: high = total.substr(0, 1); low = total.substr(1, 2); break;
        default: high = "0"; low = total; break;
    }
    file.PutByte(offset, static_cast<std::uint8_t>(HexToInt(low)));
    file.PutByte(offset + 1, static_cast<std::uint8_t>(HexToInt(high)));
    log.Line(" WriteDWORD Fired HighValue-> ", high, " LoValue-> ", low, " Total-> ", total);
    return 0;
}

int WriteBitFlagHex8BitTest(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    const int byteOne = FlagTextToByte(value);
    file.PutByte(offset, static_cast<std::uint8_t>(byteOne));
    log.Line(" WriteBitFlagHex8BitTest Fired bitstring-> ", byteOne, " ByteOne ", value, " Value ");
    return 0;
}

int WriteField(int i, int j, int step, GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    switch (GetFieldKind(i, j, step)) {
        case FieldKind::Byte: return WriteBYTE(file, offset, value, log);
        case FieldKind::Word: return WriteDWORD(file, offset, value, log);
        case FieldKind::BitFlags: return WriteBitFlagHex8BitTest(file, offset, value, log);
    }
    return 0;
}

}  // namespace quorvane
