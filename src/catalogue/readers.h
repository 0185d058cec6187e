// The field readers: game-file bytes to the texts the rules file and the grid
// hold. Each reads at an absolute offset of its own; none depends on what was
// read before.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "io/debug_log.h"
#include "io/error_report.h"
#include "catalogue/game_file.h"
#include "catalogue/layout.h"

namespace quorvane {

using GameImages = std::array<GameFileImage, kGameFileCount>;
inline GameFileImage& ImageOf(GameImages& images, GameFile f) { return images[static_cast<std::size_t>(f)]; }
inline const GameFileImage& ImageOf(const GameImages& images, GameFile f) {
    return images[static_cast<std::size_t>(f)];
}

// The byte at offset in decimal, 0 .. 255; "-1" when it cannot be read.
std::string ReadByteText(const GameFileImage& file, long long offset, DebugLog& log);
// The little-endian 16-bit word at offset and offset + 1 in decimal; "-1"
// when either byte cannot be read.
std::string ReadWordText(const GameFileImage& file, long long offset, DebugLog& log);
// The byte at offset as eight characters '0'/'1', bit 7 first; eight zeros
// when it cannot be read.
std::string ReadFlagText(const GameFileImage& file, long long offset, DebugLog& log);

// The readers under the names the editor's design gives them. GetDWORD reads
// a 16-bit word, never four bytes.
inline std::string GetBYTE(const GameFileImage& file, long long offset, DebugLog& log) {
    return ReadByteText(file, offset, log);
}
inline std::string GetDWORD(const GameFileImage& file, long long offset, DebugLog& log) {
    return ReadWordText(file, offset, log);
}
inline std::string Get8BitBinaryFlags(const GameFileImage& file, long long offset, DebugLog& log) {
    return ReadFlagText(file, offset, log);
}

// The trace line of each reader, for a reader of the same bytes that makes
// its text another way (extraction reads straight from the image).
void TraceByteRead(int n, DebugLog& log);
void TraceWordRead(int n, DebugLog& log);
void TraceFlagRead(std::string_view text, int byte, long long offset, DebugLog& log);

// Opens the six game images in the order the file actions open the files,
// each from pathOf(f) (GamePath(folder, GameFileName(f)) for a game folder),
// for reading only or for reading and writing. Each that cannot be opened is
// reported to reports, when given ("Error opening PATH"). Returns how many
// were opened.
int OpenGameImages(GameImages& images, GameFileImage::Access access,
                   const std::function<std::filesystem::path(GameFile)>& pathOf, ErrorSink* reports);
int OpenGameImages(GameImages& images, const std::filesystem::path& folder, GameFileImage::Access access,
                   ErrorSink* reports);

// Offset in WIZARDS.EXE of the name of row j of a unit or race section: the
// record's name pointer plus 169120; -1 when the pointer cannot be read.
long long UnitNameOffset(int i, int j, const GameFileImage& wizards, DebugLog& log);

// The name of row j of section i: from its record (sections 0 .. 2), through
// the name pointer (3 .. 20) or from the catalogue (21 .. 42). Sets *readable
// to false when a byte of it cannot be read.
std::string ReadName(int i, int j, const GameImages& images, DebugLog& log, bool* readable);
// The same as a view into the game file's image (or the catalogue), read
// without a trace; empty when a byte of it cannot be read.
std::string_view NameView(int i, int j, const GameImages& images, bool* readable);

}  // namespace quorvane
