// The field writers: one value text into a game file, in place, at an
// absolute offset. They mirror the readers: same widths, byte and bit order.
#pragma once

#include <string>

#include "io/debug_log.h"
#include "catalogue/game_file.h"

namespace quorvane {

// The low 8 bits of the decimal value, one byte.
void WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// A 16-bit word, low byte first, through the value's hexadecimal digits (a
// value of more than four hexadecimal digits keeps its first four).
void WriteDWORD(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// The same two writers for a number already read from its text.
void WriteBYTE(GameFileImage& file, long long offset, int value, DebugLog& log);
void WriteDWORD(GameFileImage& file, long long offset, int value, DebugLog& log);
// The byte whose bits the first eight characters give ('1' set), bit 7 first.
void WriteBitFlagHex8BitTest(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);

}  // namespace quorvane
