// The field writers: one value text into a game file, in place, at an
// absolute offset. They mirror the readers: same widths, byte and bit order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "io/debug_log.h"
#include "catalogue/game_file.h"

namespace quorvane {

// The low 8 bits of the decimal value, one byte.
void WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// A 16-bit word, low byte first, through the value's hexadecimal digits (a
// value of more than four hexadecimal digits keeps its first four).
void WriteDWORD(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// The trace lines of the two writers below, when the log is open.
void TraceBYTE(long long offset, int value, DebugLog& log);
void TraceDWORD(int value, DebugLog& log);
// The word a value is stored as: the value itself for 0 .. 65535; beyond, the
// number its first four hexadecimal digits form.
int StoredWord(int n);

// The same two writers for a number already read from its text. Inline:
// write-back puts one value per cell with them.
inline void WriteBYTE(GameFileImage& file, long long offset, int value, DebugLog& log) {
    file.PutByte(offset, static_cast<std::uint8_t>(value & 0xFF));
    if (log.IsOpen()) TraceBYTE(offset, value, log);
}
inline void WriteDWORD(GameFileImage& file, long long offset, int value, DebugLog& log) {
    const int word = value >= 0 && value <= 0xFFFF ? value : StoredWord(value);
    file.PutByte(offset, static_cast<std::uint8_t>(word & 0xFF));
    file.PutByte(offset + 1, static_cast<std::uint8_t>(word >> 8));
    if (log.IsOpen()) TraceDWORD(value, log);
}
// The byte whose bits the first eight characters give ('1' set), bit 7 first.
void WriteBitFlagHex8BitTest(GameFileImage& file, long long offset, std::string_view value, DebugLog& log);

}  // namespace quorvane
