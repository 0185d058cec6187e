// The trace stream: one object that is never opened, open, or closed. Lines
// written while it is not open are dropped. Nothing reads it back.
//
// The file lies in the game folder, which modders share: it stops growing at
// kDebugLogLimit bytes, with one last line saying so, and never writes
// through a symbolic link or into anything but a regular file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/path_text.h"

namespace quorvane {

inline constexpr const char* kDebugLogName = "Quorvane_Editor_Debug.txt";
inline constexpr std::uint64_t kDebugLogLimit = 16ull * 1024 * 1024;

class DebugLog {
public:
    DebugLog() = default;
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Creates or empties the file. Returns false when it cannot be opened (a
    // symbolic link, a pipe or a folder stands at its name, or the folder
    // cannot be written); the log then stays not open. The file grows to at
    // most limit bytes.
    bool Open(const std::filesystem::path& path, std::uint64_t limit = kDebugLogLimit);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Writes the pieces in order and ends the line. Texts, paths (spelled as
    // PathText spells them), characters and integers are accepted; nothing is
    // formatted when the log is not open.
    template <typename... Pieces>
    void Line(const Pieces&... pieces) {
        if (!file_) return;
        line_.clear();
        (Put(pieces), ...);
        line_ += '\n';
        Emit();
    }

private:
    void Put(std::string_view text);
    void Put(const std::string& text) { Put(std::string_view(text)); }
    void Put(const char* text) { Put(std::string_view(text)); }
    void Put(const std::filesystem::path& path) { Put(PathText(path)); }
    void Put(char c);
    void Put(int n);
    void Put(long n);
    void Put(long long n);
    void Put(unsigned n);
    void Put(unsigned long n);
    void Put(unsigned long long n);

    // Writes the line made, or, when it would take the file near its limit,
    // the last line, and closes the log.
    void Emit();

    std::FILE* file_ = nullptr;
    std::string line_;  // the line being made
    std::uint64_t written_ = 0;
    std::uint64_t limit_ = kDebugLogLimit;
};

}  // namespace quorvane
