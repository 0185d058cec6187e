#include "io/file_io.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "io/path_text.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvane {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempSuffix = ".qvtmp";

// The few operating-system calls the writer and the lock need, on open
// handles, so that a temporary file stays locked from creation to rename.
#ifdef _WIN32
using Handle = HANDLE;
Handle ToHandle(std::intptr_t h) { return reinterpret_cast<Handle>(h); }
std::intptr_t FromHandle(Handle h) { return reinterpret_cast<std::intptr_t>(h); }
constexpr std::intptr_t kNoHandle = -1;

std::intptr_t CreateExclusive(const fs::path& p) {
    // No delete sharing: while it is open nobody can remove it.
    Handle h = CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? kNoHandle : FromHandle(h);
}
bool WriteAll(std::intptr_t h, std::string_view content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(left > (1u << 30) ? (1u << 30) : left);
        DWORD done = 0;
        if (!WriteFile(ToHandle(h), p, chunk, &done, nullptr) || done == 0) return false;
        p += done;
        left -= done;
    }
    return true;
}
bool SyncFile(std::intptr_t h) { return FlushFileBuffers(ToHandle(h)) != 0; }
void CloseHandleOf(std::intptr_t& h) {
    if (h != kNoHandle) CloseHandle(ToHandle(h));
    h = kNoHandle;
}
bool ReplaceByRename(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
void SyncFolder(const fs::path&) {}  // MOVEFILE_WRITE_THROUGH already waits for the rename
bool TryRemoveLeftover(const fs::path& p) {
    // A file another writer still has open cannot be deleted.
    return DeleteFileW(p.c_str()) != 0;
}
#else
constexpr std::intptr_t kNoHandle = -1;

std::intptr_t CreateExclusive(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return kNoHandle;
    // Held for the file's whole life, so that a cleaner can tell a live
    // temporary file from a leftover.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}
bool WriteAll(std::intptr_t h, std::string_view content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t done = ::write(static_cast<int>(h), p, left);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        p += done;
        left -= static_cast<std::size_t>(done);
    }
    return true;
}
bool SyncFile(std::intptr_t h) { return ::fsync(static_cast<int>(h)) == 0; }
void CloseHandleOf(std::intptr_t& h) {
    if (h != kNoHandle) ::close(static_cast<int>(h));
    h = kNoHandle;
}
bool ReplaceByRename(const fs::path& from, const fs::path& to) { return ::rename(from.c_str(), to.c_str()) == 0; }
void SyncFolder(const fs::path& folder) {
    // Makes the rename itself durable; a folder that cannot be opened or
    // synced still holds the renamed file.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
bool TryRemoveLeftover(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    bool removed = false;
    // A writer that is still running holds its lock: leave its file alone.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) removed = ::unlink(p.c_str()) == 0;
    ::close(fd);
    return removed;
}
#endif

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

fs::path TemporaryName(const fs::path& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    std::string suffix = ".";
    suffix += std::to_string(rng() % 1000000000ULL);
    suffix += kTempSuffix;
    fs::path name = ".";
    name += target.filename().native();
    name += suffix;
    return FolderOf(target) / name;
}

void RemoveLeftovers(const fs::path& target) {
    std::error_code ec;
    const std::string name = PathText(target.filename());
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = PathText(it->path().filename());
        if (IsTemporaryNameFor(entry, name)) TryRemoveLeftover(it->path());
    }
}

}  // namespace

bool IsWritableFile(const fs::path& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    // A file marked read-only is refused even where the system would let this
    // user write it, as a user who marked it expects.
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
    std::fstream probe(path, std::ios::in | std::ios::out | std::ios::binary);
    return probe.is_open();
}

bool CanReplaceFile(const fs::path& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (fs::exists(st)) return IsWritableFile(path);
    return true;  // creating it is tried when the temporary file is made
}

int FilePermissions(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return -1;
    return static_cast<int>(st.permissions() & fs::perms::mask);
}

bool IsTemporaryNameFor(std::string_view name, std::string_view target) {
    // "." target "." digits ".qvtmp"
    if (name.size() < target.size() + 3 + kTempSuffix.size()) return false;
    if (name[0] != '.' || name.substr(1, target.size()) != target) return false;
    std::string_view rest = name.substr(1 + target.size());
    if (rest.front() != '.' || rest.size() <= kTempSuffix.size() + 1) return false;
    if (rest.substr(rest.size() - kTempSuffix.size()) != kTempSuffix) return false;
    const std::string_view digits = rest.substr(1, rest.size() - 1 - kTempSuffix.size());
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return !digits.empty();
}

bool AtomicFileWriter::Begin(const fs::path& path) {
    Abort();
    if (!CanReplaceFile(path)) return false;
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        // The link stays; the file it names is replaced.
        const fs::path resolved = fs::canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    for (int attempt = 0; attempt < 100 && handle_ == kNoHandle; ++attempt) {
        temp_ = TemporaryName(target);
        handle_ = CreateExclusive(temp_);
    }
    if (handle_ == kNoHandle) {
        temp_.clear();
        return false;
    }
    target_ = target;
    return true;
}

bool AtomicFileWriter::Commit(std::string_view content, int permissions) {
    if (temp_.empty()) return false;
    bool ok = WriteAll(handle_, content) && SyncFile(handle_);
    std::error_code ec;
    if (ok) {
        const int existing = FilePermissions(target_);
        const int bits = existing >= 0 ? existing : permissions;
        if (bits >= 0) {
#ifdef _WIN32
            CloseHandleOf(handle_);  // attributes are set on the closed file
#endif
            fs::permissions(temp_, static_cast<fs::perms>(bits), ec);
            ok = !ec;
        }
    }
#ifndef _WIN32
    // The lock is dropped only after the rename: until then a cleaner must
    // leave this file alone.
    ok = ok && ReplaceByRename(temp_, target_);
    CloseHandleOf(handle_);
#else
    CloseHandleOf(handle_);
    ok = ok && ReplaceByRename(temp_, target_);
#endif
    if (!ok) {
        Abort();
        return false;
    }
    temp_.clear();
    SyncFolder(FolderOf(target_));
    RemoveLeftovers(target_);
    return true;
}

void AtomicFileWriter::Abort() {
    CloseHandleOf(handle_);
    if (temp_.empty()) return;
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
}

bool ReplaceFileContents(const fs::path& path, std::string_view content, int permissions) {
    AtomicFileWriter writer;
    return writer.Begin(path) && writer.Commit(content, permissions);
}

bool ReadWholeFile(const fs::path& path, const std::function<char*(std::size_t)>& buffer) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open()) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileSize) return false;
    in.seekg(0, std::ios::beg);
    char* into = buffer(static_cast<std::size_t>(size));
    return size == 0 || static_cast<bool>(in.read(into, size));
}

bool ReadWholeFile(const fs::path& path, std::string* content) {
    return ReadWholeFile(path, [content](std::size_t size) {
        content->resize(size);
        return content->data();
    });
}

fs::path GamePath(const fs::path& folder, const fs::path& name) {
    if (folder.empty()) return name;
    return folder / name;
}

bool FolderLock::TryAcquire(const fs::path& folder, bool create) {
    Release();
    const fs::path file = (folder.empty() ? fs::path(".") : folder) / kLockFileName;
#ifdef _WIN32
    Handle h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    OVERLAPPED at{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(h);
        return false;
    }
    handle_ = FromHandle(h);
#else
    int fd = ::open(file.c_str(), O_RDWR | (create ? O_CREAT : 0) | O_CLOEXEC, 0666);
    if (fd < 0) fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
#endif
    return true;
}

void FolderLock::Release() { CloseHandleOf(handle_); }

std::string FolderForReports(const fs::path& folder) {
    if (!folder.empty()) return PathText(folder);
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    return ec ? std::string(".") : PathText(here);
}

std::string FolderInUse(const fs::path& folder) {
    return "Another run is using the game folder " + FolderForReports(folder) + "; nothing was done.";
}

}  // namespace quorvane
