// Paths travel through the core as std::string in the system's narrow
// encoding: bytes as they are on Linux and macOS, the process's ANSI code page
// on Windows (UTF-8 for our programs, whose manifest asks for it). These two
// conversions are the only way between such a string and a
// std::filesystem::path, so that a folder named with spaces or non-ASCII
// letters is the same folder for the filesystem library, for the C runtime's
// fopen and for the command line.
#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

std::filesystem::path NativePath(const std::string& narrow);
std::string NarrowPath(const std::filesystem::path& path);

}  // namespace quorvane
