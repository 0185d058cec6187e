// The field writers: one value into a game file, in place, at an absolute
// offset, encoded by the codec of its kind. They mirror the readers: same
// widths, byte and bit order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/codec.h"
#include "catalogue/game_file.h"
#include "io/debug_log.h"

namespace quorvane {

// The trace lines of the writers below, when the log is open.
void TraceByteWrite(long long offset, int value, DebugLog& log);
void TraceWordWrite(int value, DebugLog& log);

// The low 8 bits of the number, one byte. Inline, as the one below: write-back
// puts one value per cell with them.
inline void WriteBYTE(GameFileImage& file, long long offset, int value, DebugLog& log) {
    file.PutByte(offset, static_cast<std::uint8_t>(CodecOf(Codec::Byte).Encode(value)));
    if (log.IsOpen()) TraceByteWrite(offset, value, log);
}
// A 16-bit word, low byte first: the number itself for 0 .. 65535, else the
// word its first four hexadecimal digits form (FieldCodec::StoredWord).
inline void WriteWord(GameFileImage& file, long long offset, int value, DebugLog& log) {
    const int word = CodecOf(Codec::Word).Encode(value);
    file.PutByte(offset, static_cast<std::uint8_t>(word & 0xFF));
    file.PutByte(offset + 1, static_cast<std::uint8_t>(word >> 8));
    if (log.IsOpen()) TraceWordWrite(value, log);
}
// The same two for a decimal value text (its leading number).
void WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
void WriteWord(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// The byte whose bits the first eight characters of a flag text give ('1'
// set), bit 7 first.
void WriteFlagText(GameFileImage& file, long long offset, std::string_view value, DebugLog& log);

// The writers under the names the editor's design gives them. WriteDWORD
// writes a 16-bit word, never four bytes.
inline void WriteDWORD(GameFileImage& file, long long offset, int value, DebugLog& log) {
    WriteWord(file, offset, value, log);
}
inline void WriteDWORD(GameFileImage& file, long long offset, const std::string& value, DebugLog& log) {
    WriteWord(file, offset, value, log);
}
inline void WriteBitFlagHex8BitTest(GameFileImage& file, long long offset, std::string_view value, DebugLog& log) {
    WriteFlagText(file, offset, value, log);
}

}  // namespace quorvane
