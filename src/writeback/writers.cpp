#include "writeback/writers.h"

#include "catalogue/conversions.h"

namespace quorvane {

void WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    WriteBYTE(file, offset, StrToInt(value), log);
}

void TraceByteWrite(long long offset, int value, DebugLog& log) {
    log.Line(" WriteBYTE Hex -> ", Int2Hex(static_cast<int>(offset)), " <- Hex Value -> ", value);
}

void WriteWord(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    WriteWord(file, offset, StrToInt(value), log);
}

void TraceWordWrite(int n, DebugLog& log) {
    // The trace names the value's hexadecimal digits split into the high and
    // the low byte.
    std::string total = Int2Hex(n);
    if (total.size() > 4) total.resize(4);
    const std::size_t lowDigits = total.size() >= 3 ? 2 : total.size();
    const std::string high = total.size() >= 3 ? total.substr(0, total.size() - 2) : "0";
    const std::string low = total.substr(total.size() - lowDigits);
    log.Line(" WriteDWORD Fired HighValue-> ", high, " LoValue-> ", low, " Total-> ", total);
}

void WriteFlagText(GameFileImage& file, long long offset, std::string_view value, DebugLog& log) {
    const int byteOne = FlagTextToByte(value);
    file.PutByte(offset, static_cast<std::uint8_t>(byteOne));
    log.Line(" WriteBitFlagHex8BitTest Fired bitstring-> ", byteOne, " ByteOne ", value, " Value ");
}

}  // namespace quorvane
