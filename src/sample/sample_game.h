// Six synthetic game files for trying the editor and for tests: large enough
// for every place the layout uses, with printable names (at the name pointers
// too) and values across the whole byte and word ranges. They are made up; they
// are not the game's files.
#pragma once

#include <cstdint>
#include <filesystem>

namespace quorvane {

// Writes ITEMPOW.LBX, BUILDDAT.LBX, SPELLDAT.LBX, WIZARDS.EXE, MAGIC.EXE and
// ITEMMAKE.EXE into `dir` (created if missing). The same seed always gives the
// same bytes. Returns false and sets `failed` to the file that cannot be
// written.
bool WriteSampleGame(const std::filesystem::path& dir, std::uint32_t seed, std::filesystem::path* failed = nullptr);

}  // namespace quorvane
