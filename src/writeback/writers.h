// The field writers: one value text into a game file, in place, at an
// absolute offset. They mirror the readers: same widths, byte and bit order.
#pragma once

#include <string>

#include "app/debug_log.h"
#include "catalogue/game_file.h"

namespace quorvane {

// Writes with the writer of FieldKind(i, j, step). Returns 0.
int WriteField(int i, int j, int step, GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// The low 8 bits of the decimal value, one byte.
int WriteBYTE(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// A 16-bit word, low byte first, through the value's hexadecimal digits (a
// value of more than four hexadecimal digits keeps its first four).
int WriteDWORD(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);
// The same two writers for a number already read from its text.
int WriteBYTE(GameFileImage& file, long long offset, int value, DebugLog& log);
int WriteDWORD(GameFileImage& file, long long offset, int value, DebugLog& log);
// The byte whose bits the first eight characters give ('1' set), bit 7 first.
int WriteBitFlagHex8BitTest(GameFileImage& file, long long offset, const std::string& value, DebugLog& log);

}  // namespace quorvane
