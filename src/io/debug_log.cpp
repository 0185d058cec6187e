#include "io/debug_log.h"

#include <charconv>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvane {

DebugLog::~DebugLog() { Close(); }

namespace {

// Opens the log file for writing, emptied, when it is (or becomes) a regular
// file: never through a link, and without waiting on a pipe.
std::FILE* OpenLogFile(const std::filesystem::path& path) {
#ifdef _WIN32
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(path, ec);
    if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st)) return nullptr;
    return _wfopen(path.c_str(), L"w");
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "w");
    if (!file) ::close(fd);
    return file;
#endif
}

}  // namespace

bool DebugLog::Open(const std::filesystem::path& path, std::uint64_t limit) {
    Close();
    if (path.empty()) return false;
    file_ = OpenLogFile(path);
    written_ = 0;
    limit_ = limit;
    return file_ != nullptr;
}

void DebugLog::Emit() {
    // Room is always kept for the last line. The file is written in text
    // mode, where a line end takes two bytes on Windows.
    constexpr std::uint64_t kRoomForTheLastLine = 100;
#ifdef _WIN32
    const std::uint64_t size = line_.size() + 1;
#else
    const std::uint64_t size = line_.size();
#endif
    if (written_ + size + kRoomForTheLastLine <= limit_) {
        std::fwrite(line_.data(), 1, line_.size(), file_);
        written_ += size;
        return;
    }
    std::string last = "The debug log stops here: it has reached its limit of ";
    if (limit_ % (1024 * 1024) == 0) last += std::to_string(limit_ / (1024 * 1024)) + " MiB.\n";
    else last += std::to_string(limit_) + " bytes.\n";
    std::fwrite(last.data(), 1, last.size(), file_);
    Close();
}

void DebugLog::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void DebugLog::Put(std::string_view text) { line_ += text; }
void DebugLog::Put(char c) { line_ += c; }

namespace {
template <typename T>
void PutNumber(std::string& line, T n) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    line.append(buf, static_cast<std::size_t>(r.ptr - buf));
}
}  // namespace

void DebugLog::Put(int n) { PutNumber(line_, n); }
void DebugLog::Put(long n) { PutNumber(line_, n); }
void DebugLog::Put(long long n) { PutNumber(line_, n); }
void DebugLog::Put(unsigned n) { PutNumber(line_, n); }
void DebugLog::Put(unsigned long n) { PutNumber(line_, n); }
void DebugLog::Put(unsigned long long n) { PutNumber(line_, n); }

}  // namespace quorvane
