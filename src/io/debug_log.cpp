#include "io/debug_log.h"

#include <charconv>

namespace quorvane {

DebugLog::~DebugLog() { Close(); }

bool DebugLog::Open(const std::filesystem::path& path) {
    Close();
    if (path.empty()) return false;
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"w");
#else
    file_ = std::fopen(path.c_str(), "w");
#endif
    return file_ != nullptr;
}

void DebugLog::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void DebugLog::Put(std::string_view text) {
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), file_);
}
void DebugLog::Put(char c) { std::fputc(static_cast<unsigned char>(c), file_); }

namespace {
template <typename T>
void PutNumber(std::FILE* f, T n) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    std::fwrite(buf, 1, static_cast<std::size_t>(r.ptr - buf), f);
}
}  // namespace

void DebugLog::Put(int n) { PutNumber(file_, n); }
void DebugLog::Put(long n) { PutNumber(file_, n); }
void DebugLog::Put(long long n) { PutNumber(file_, n); }
void DebugLog::Put(unsigned n) { PutNumber(file_, n); }
void DebugLog::Put(unsigned long n) { PutNumber(file_, n); }
void DebugLog::Put(unsigned long long n) { PutNumber(file_, n); }

}  // namespace quorvane
