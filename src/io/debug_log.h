// The trace stream: one object that is never opened, open, or closed. Lines
// written while it is not open are dropped. Nothing reads it back.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/path_text.h"

namespace quorvane {

inline constexpr const char* kDebugLogName = "Quorvane_Editor_Debug.txt";

class DebugLog {
public:
    DebugLog() = default;
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Creates or empties the file. Returns false when it cannot be opened;
    // the log then stays not open.
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Writes the pieces in order and ends the line. Texts, paths (spelled as
    // PathText spells them), characters and integers are accepted; nothing is
    // formatted when the log is not open.
    template <typename... Pieces>
    void Line(const Pieces&... pieces) {
        if (!file_) return;
        (Put(pieces), ...);
        Put('\n');
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

    std::FILE* file_ = nullptr;
};

}  // namespace quorvane
