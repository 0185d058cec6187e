// Paths travel through the core as std::filesystem::path. Where a path meets
// 8-bit text (a report, a status line, a command-line argument) it is spelled
// in the system's narrow encoding: the bytes as they are on Linux and macOS,
// the process's ANSI code page on Windows (UTF-8 for our programs, whose
// manifest asks for it). These two conversions are the only way between such
// text and a path, so that a folder named with spaces or non-ASCII letters is
// the same folder on the command line, in the filesystem calls and in the
// reports.
#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// The path as reports and the debug log spell it.
std::string PathText(const std::filesystem::path& path);

// The path a narrow text names (a command-line argument, for one).
std::filesystem::path PathFromText(const std::string& text);

}  // namespace quorvane
