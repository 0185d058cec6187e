#include "io/file_io.h"

#include <algorithm>
#include <filesystem>
#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

#include "io/file_attributes.h"
#include "io/path_text.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvane {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempSuffix = ".qvtmp";

// A system message as a phrase that a report can end with: no line end, no
// full stop of its own.
std::string AsPhrase(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

constexpr const char* kNotRegular = "it is not a regular file";

// The few operating-system calls the writer and the lock need, on open
// handles, so that a temporary file stays locked from creation to rename.
#ifdef _WIN32
using Handle = HANDLE;
Handle ToHandle(std::intptr_t h) { return reinterpret_cast<Handle>(h); }
std::intptr_t FromHandle(Handle h) { return reinterpret_cast<std::intptr_t>(h); }
constexpr std::intptr_t kNoHandle = -1;

std::string LastReason() { return AsPhrase(std::system_category().message(static_cast<int>(GetLastError()))); }

std::intptr_t CreateExclusive(const fs::path& p, bool* exists) {
    // No delete sharing: while it is open nobody can remove it.
    Handle h = CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    *exists = h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS;
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

std::string ReasonOf(int error) { return AsPhrase(std::generic_category().message(error)); }
std::string LastReason() { return ReasonOf(errno); }

std::intptr_t CreateExclusive(const fs::path& p, bool* exists) {
    const int fd = ::open(p.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    *exists = fd < 0 && errno == EEXIST;
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
        if (done == 0) errno = EIO;
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
// Opens an existing file for reading without waiting (a pipe would wait for a
// writer) and keeps it open only when it is a regular file.
int OpenRegularForReading(const fs::path& p, struct stat* st, int extraFlags = 0) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | extraFlags);
    if (fd < 0) return -1;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}
bool TryRemoveLeftover(const fs::path& p) {
    // Only a regular file is opened (never followed through a link, and
    // without waiting), to see whether a running writer still holds it.
    struct stat st{};
    const int fd = OpenRegularForReading(p, &st, O_NOFOLLOW);
    if (fd < 0) return false;
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) removed = ::unlink(p.c_str()) == 0;
    ::close(fd);
    return removed;
}
#endif

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// The target's name as temporary names keep it: at most kTempNameBytes bytes,
// cut before a character, not inside one.
std::string TempStem(std::string_view name) {
    if (name.size() <= kTempNameBytes) return std::string(name);
    std::size_t cut = kTempNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return std::string(name.substr(0, cut));
}

fs::path TemporaryName(const fs::path& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    std::string name = ".";
    name += TempStem(PathText(target.filename()));
    name += '.';
    name += std::to_string(rng() % 1000000000ULL);
    name += kTempSuffix;
    return FolderOf(target) / PathFromText(name);
}

// Removes the leftovers of the files named in one folder, in one pass over
// the folder.
void RemoveLeftoversIn(const fs::path& folder, const std::vector<std::string>& names) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = PathText(it->path().filename());
        if (entry.size() < 2 || entry[0] != '.') continue;
        std::error_code kind;
        const bool leftover = std::any_of(names.begin(), names.end(),
                                          [&](const std::string& name) { return IsTemporaryNameFor(entry, name); });
        if (leftover && it->is_regular_file(kind) && !it->is_symlink(kind)) TryRemoveLeftover(it->path());
    }
}

void RemoveLeftoversIn(const fs::path& target) { RemoveLeftoversIn(FolderOf(target), {PathText(target.filename())}); }

// Why path, an existing regular file, may not be written; empty when it may.
std::string WriteRefusal(const fs::path& path, const fs::file_status& st) {
    // A file marked read-only is refused even where the system would let this
    // user write it, as a user who marked it expects.
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return AsPhrase(std::generic_category().message(EACCES));
#ifdef _WIN32
    std::fstream probe(path, std::ios::in | std::ios::out | std::ios::binary);
    return probe.is_open() ? std::string() : AsPhrase(std::generic_category().message(EACCES));
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return LastReason();
    struct stat s{};
    const bool regular = ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode);
    ::close(fd);
    return regular ? std::string() : std::string(kNotRegular);
#endif
}

// Why path may not be replaced or made; empty when it may.
std::string ReplaceRefusal(const fs::path& path) {
    if (path.empty()) return "no file name was given";
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) return {};  // creating it is tried when the temporary file is made
    if (fs::is_directory(st)) return AsPhrase(std::generic_category().message(EISDIR));
    if (!fs::is_regular_file(st)) return kNotRegular;
    return WriteRefusal(path, st);
}

}  // namespace

EntryKind EntryKindOf(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (!fs::exists(st)) return EntryKind::Missing;
    return fs::is_regular_file(st) ? EntryKind::RegularFile : EntryKind::Other;
}

bool IsWritableFile(const fs::path& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    return WriteRefusal(path, st).empty();
}

bool CanReplaceFile(const fs::path& path) { return ReplaceRefusal(path).empty(); }

int FilePermissions(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return -1;
    return static_cast<int>(st.permissions() & fs::perms::mask);
}

std::uintmax_t NameCount(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t n = fs::hard_link_count(path, ec);
    return ec ? 0 : n;
}

bool IsTemporaryNameFor(std::string_view name, std::string_view target) {
    // "." target "." digits ".qvtmp", the target cut as TempStem cuts it
    const std::string stem = TempStem(target);
    if (name.size() < stem.size() + 3 + kTempSuffix.size()) return false;
    if (name[0] != '.' || name.substr(1, stem.size()) != stem) return false;
    std::string_view rest = name.substr(1 + stem.size());
    if (rest.front() != '.' || rest.size() <= kTempSuffix.size() + 1) return false;
    if (rest.substr(rest.size() - kTempSuffix.size()) != kTempSuffix) return false;
    const std::string_view digits = rest.substr(1, rest.size() - 1 - kTempSuffix.size());
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return !digits.empty();
}

void RemoveLeftoversOf(const std::vector<fs::path>& files) {
    // By folder: a file a link names leaves its leftovers beside that file.
    std::vector<std::pair<fs::path, std::vector<std::string>>> folders;
    const auto add = [&](const fs::path& file) {
        const fs::path folder = FolderOf(file);
        auto at = std::find_if(folders.begin(), folders.end(), [&](const auto& f) { return f.first == folder; });
        if (at == folders.end()) at = folders.insert(folders.end(), {folder, {}});
        at->second.push_back(PathText(file.filename()));
    };
    for (const fs::path& file : files) {
        add(file);
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(file, ec))) continue;
        const fs::path resolved = fs::canonical(file, ec);
        if (!ec) add(resolved);
    }
    for (const auto& [folder, names] : folders) RemoveLeftoversIn(folder, names);
}

const WriterCalls& SystemWriterCalls() {
    static const WriterCalls calls{WriteAll, SyncFile, ReplaceByRename, SyncFolder};
    return calls;
}

bool AtomicFileWriter::Begin(const fs::path& path, Links links) {
    Abort();
    failure_.clear();
    lost_.clear();
    fs::path target = path;
    std::error_code ec;
    if (!path.empty() && fs::is_symlink(fs::symlink_status(path, ec))) {
        if (links == Links::Follow) {
            // The link stays; the file it names is replaced.
            const fs::path resolved = fs::canonical(path, ec);
            if (ec) {
                failure_ = AsPhrase(ec.message());
                return false;
            }
            target = resolved;
        }
    } else if (const std::string refusal = ReplaceRefusal(path); !refusal.empty()) {
        failure_ = refusal;
        return false;
    }
    if (target != path) {
        if (const std::string refusal = ReplaceRefusal(target); !refusal.empty()) {
            failure_ = refusal;
            return false;
        }
    }
    bool exists = true;
    for (int attempt = 0; attempt < 100 && handle_ == kNoHandle && exists; ++attempt) {
        temp_ = TemporaryName(target);
        handle_ = CreateExclusive(temp_, &exists);
    }
    if (handle_ == kNoHandle) {
        failure_ = LastReason();
        temp_.clear();
        return false;
    }
    target_ = target;
    return true;
}

bool AtomicFileWriter::Commit(std::string_view content, int permissions) {
    failure_.clear();
    lost_.clear();
    if (temp_.empty()) {
        failure_ = "no temporary file was made";
        return false;
    }
    // The attributes come from the file replaced, or the one named for them;
    // never through a link at a target that replaces links.
    const fs::path from = !attributesFrom_.empty()                           ? attributesFrom_
                          : EntryKindOf(target_) == EntryKind::RegularFile ? target_
                                                                             : fs::path();
    // Each step's reason is taken at once, before another call can change it.
    const auto step = [this](bool done) {
        if (!done && failure_.empty()) failure_ = LastReason();
        return done;
    };
    bool ok = step(calls_->write(handle_, content));
#ifdef _WIN32
    ok = ok && step(calls_->flush(handle_));
    CloseHandleOf(handle_);  // attributes are set on the closed file
    if (ok) {
        const int existing = from.empty() ? -1 : FilePermissions(from);
        const int bits = existing >= 0 ? existing : permissions;
        std::error_code ec;
        if (bits >= 0) fs::permissions(temp_, static_cast<fs::perms>(bits), ec);
        if (ec) failure_ = AsPhrase(ec.message());
        ok = !ec;
    }
    ok = ok && step(calls_->rename(temp_, target_));
#else
    ok = ok && CopyFileAttributes(from, static_cast<int>(handle_), permissions, &lost_, &failure_);
    ok = ok && step(calls_->flush(handle_));
    // The lock is dropped only after the rename: until then a cleaner must
    // leave this file alone.
    ok = ok && step(calls_->rename(temp_, target_));
    CloseHandleOf(handle_);
#endif
    if (!ok) {
        lost_.clear();
        Abort();
        return false;
    }
    temp_.clear();
    calls_->flushFolder(FolderOf(target_));
    RemoveLeftoversIn(target_);
    return true;
}

void AtomicFileWriter::Abort() {
    CloseHandleOf(handle_);
    if (temp_.empty()) return;
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
}

bool ReplaceFileContents(const fs::path& path, std::string_view content, int permissions, std::string* failure) {
    AtomicFileWriter writer;
    const bool ok = writer.Begin(path) && writer.Commit(content, permissions);
    if (!ok && failure) *failure = writer.errorString();
    return ok;
}

bool CreateFileContents(const fs::path& path, std::string_view content, std::string* failure) {
    AtomicFileWriter writer;
    const bool ok = writer.Begin(path, AtomicFileWriter::Links::Replace) && writer.Commit(content);
    if (!ok && failure) *failure = writer.errorString();
    return ok;
}

bool WriteRangesInPlace(const fs::path& path, std::string_view content,
                        const std::vector<std::pair<std::size_t, std::size_t>>& ranges, std::string* failure) {
    const auto fail = [&](std::string reason) {
        if (failure) *failure = std::move(reason);
        return false;
    };
    for (const auto& [begin, end] : ranges)
        if (begin > end || end > content.size()) return fail("a change lies past the end of the file");
#ifdef _WIN32
    Handle h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(LastReason());
    std::intptr_t handle = FromHandle(h);
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) && static_cast<unsigned long long>(size.QuadPart) == content.size();
    std::string reason = ok ? std::string() : std::string("its length changed while the editor ran");
    for (std::size_t k = 0; ok && k < ranges.size(); ++k) {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(ranges[k].first);
        ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
             WriteAll(handle, content.substr(ranges[k].first, ranges[k].second - ranges[k].first));
    }
    ok = ok && SyncFile(handle);
    if (!ok && reason.empty()) reason = LastReason();
    CloseHandleOf(handle);
    return ok || fail(reason);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(LastReason());
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) != content.size()) {
        ::close(fd);
        return fail(S_ISREG(st.st_mode) ? "its length changed while the editor ran" : kNotRegular);
    }
    bool ok = true;
    for (std::size_t k = 0; ok && k < ranges.size(); ++k) {
        std::size_t at = ranges[k].first;
        while (ok && at < ranges[k].second) {
            const ssize_t done = ::pwrite(fd, content.data() + at, ranges[k].second - at, static_cast<off_t>(at));
            if (done < 0 && errno == EINTR) continue;
            if (done == 0) errno = EIO;
            ok = done > 0;
            if (ok) at += static_cast<std::size_t>(done);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    const std::string reason = ok ? std::string() : LastReason();
    ::close(fd);
    return ok || fail(reason);
#endif
}

bool ReadWholeFile(const fs::path& path, const std::function<char*(std::size_t)>& buffer, std::uint64_t limit) {
#ifdef _WIN32
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(path, ec))) return false;
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open()) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > limit) return false;
    in.seekg(0, std::ios::beg);
    char* into = buffer(static_cast<std::size_t>(size));
    return size == 0 || static_cast<bool>(in.read(into, size));
#else
    struct stat st{};
    const int fd = OpenRegularForReading(path, &st);
    if (fd < 0) return false;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    bool ok = size <= limit;
    if (ok) {
        char* into = buffer(static_cast<std::size_t>(size));
        std::size_t at = 0;
        while (ok && at < size) {
            const ssize_t done = ::read(fd, into + at, static_cast<std::size_t>(size) - at);
            if (done < 0 && errno == EINTR) continue;
            ok = done > 0;  // a file that got shorter meanwhile is not read whole
            if (ok) at += static_cast<std::size_t>(done);
        }
    }
    ::close(fd);
    return ok;
#endif
}

bool ReadWholeFile(const fs::path& path, std::string* content, std::uint64_t limit) {
    return ReadWholeFile(
        path,
        [content](std::size_t size) {
            content->resize(size);
            return content->data();
        },
        limit);
}

fs::path GamePath(const fs::path& folder, const fs::path& name) {
    if (folder.empty()) return name;
    return folder / name;
}

std::string NotWrittenReport(const fs::path& path, const std::string& reason, bool existed) {
    std::string text = PathText(path) + " could not be written";
    if (!reason.empty()) text += ": " + reason;
    return text + (existed ? "; it was left unchanged." : ".");
}

std::string LostAttributesReport(const fs::path& path, const std::vector<std::string>& lost) {
    std::string text = PathText(path) + " was written but lost ";
    for (std::size_t k = 0; k < lost.size(); ++k) {
        if (k > 0) text += k + 1 == lost.size() ? " and " : ", ";
        text += lost[k];
    }
    return text + ".";
}

bool FolderLock::TryAcquire(const fs::path& folder, bool create) {
    Release();
    refusal_.clear();
    const fs::path file = (folder.empty() ? fs::path(".") : folder) / kLockFileName;
    // Something other than a regular file at the lock's name is never opened
    // through, and no run goes ahead without the lock.
    const auto notRegular = [&] {
        refusal_ = PathText(GamePath(folder, kLockFileName)) + " is not a regular file; nothing was done.";
        return false;
    };
#ifdef _WIN32
    const DWORD flags = FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT;
    Handle h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return EntryKindOf(file) == EntryKind::Other ? notRegular() : true;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(h);
        return notRegular();
    }
    OVERLAPPED at{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(h);
        refusal_ = FolderInUse(folder);
        return false;
    }
    handle_ = FromHandle(h);
#else
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(file.c_str(), O_RDWR | (create ? O_CREAT : 0) | flags, 0666);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) fd = ::open(file.c_str(), O_RDONLY | flags);
    if (fd < 0) return EntryKindOf(file) == EntryKind::Other ? notRegular() : true;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        refusal_ = FolderInUse(folder);
        return false;
    }
    handle_ = fd;
#endif
    return true;
}

void FolderLock::Release() { CloseHandleOf(handle_); }

bool GameFolderLocks::TryAcquire(const fs::path& folder, const std::vector<fs::path>& files, bool writes) {
    Release();
    refusal_.clear();
    struct Place {
        fs::path folder;  // as the lock is taken and reported
        fs::path key;     // the folder's one name, for the order and to find doubles
    };
    std::error_code ec;
    const auto keyOf = [&](const fs::path& f) {
        fs::path key = fs::weakly_canonical(f.empty() ? fs::path(".") : f, ec);
        return ec ? fs::absolute(f.empty() ? fs::path(".") : f, ec) : key;
    };
    std::vector<Place> places{{folder, keyOf(folder)}};
    if (writes) {
        for (const fs::path& file : files) {
            const fs::path resolved = fs::canonical(file, ec);
            if (ec) continue;  // a missing file is not written
            const fs::path other = FolderOf(resolved);
            const bool known = std::any_of(places.begin(), places.end(), [&](const Place& p) {
                std::error_code same;
                return p.key == other || fs::equivalent(p.key, other, same);
            });
            if (!known) places.push_back({other, other});
        }
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.key < b.key; });
    for (const Place& p : places) {
        auto lock = std::make_unique<FolderLock>();
        if (!lock->TryAcquire(p.folder)) {
            refusal_ = lock->Refusal();
            Release();
            return false;
        }
        locks_.push_back(std::move(lock));
    }
    // No other run can be writing these files now: whatever temporary files
    // they have beside them were left by runs that ended.
    std::vector<fs::path> theirs = files;
    for (fs::path backup : files) theirs.push_back(backup += ".bak");
    RemoveLeftoversOf(theirs);
    return true;
}

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
