// File helpers the file actions share: the writability test, whole-file reads
// with a size limit, the safe replacement of a file (a temporary file beside
// it, flushed to disk, given the target's permission bits, then renamed over
// it), and the lock that keeps two runs off one game folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace quorvane {

// Files larger than this are treated as files that cannot be opened: no rules
// file or game file comes near it, and reading one whole must not exhaust
// memory.
inline constexpr std::uint64_t kMaxFileSize = 64ull * 1024 * 1024;

// True when path names an existing regular file that may be opened for
// writing: the system allows it and the file is not marked read-only.
bool IsWritableFile(const std::filesystem::path& path);

// True when path names a file that does not exist yet but may be created, or
// an existing writable file (see IsWritableFile); false for an empty path or a
// folder.
bool CanReplaceFile(const std::filesystem::path& path);

// Replaces a file safely: Begin makes an empty temporary file in the target's
// folder (and fails for an empty path, a folder, a read-only file or a folder
// that cannot be written); Commit writes the content into it, flushes it to
// disk, gives it the target's permission bits (or, for a new target, the
// bits passed to Commit, or those a new file gets), then renames it over the
// target, so the target is always either entirely old or entirely new. On any
// failure the target is left as it was and the temporary file is removed. A
// writer that is not committed removes its temporary file.
//
// Temporary files are named ".NAME.DIGITS.qvtmp" beside the target NAME. A
// successful Commit removes leftovers of that pattern for the same target
// that no running writer holds (a killed process leaves them behind).
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { Abort(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Begin(const std::filesystem::path& path);
    // permissions: the bits for a target that does not exist yet; -1 leaves
    // the bits a new file gets.
    bool Commit(std::string_view content, int permissions = -1);
    void Abort();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::intptr_t handle_ = -1;  // the open temporary file, held locked
};

// Begin and Commit in one call.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view content, int permissions = -1);

// The permission bits of an existing file (as st_mode & 07777), or -1.
int FilePermissions(const std::filesystem::path& path);

// True when name is a temporary file of AtomicFileWriter for target name.
bool IsTemporaryNameFor(std::string_view name, std::string_view target);

// Reads a whole file; false when it cannot be opened or read, or when it is
// larger than kMaxFileSize.
bool ReadWholeFile(const std::filesystem::path& path, std::string* content);
// The same into storage of the caller's: buffer(size) returns where the size
// bytes go.
bool ReadWholeFile(const std::filesystem::path& path, const std::function<char*(std::size_t)>& buffer);

// Joins the game folder and a bare file name with the system's separator; the
// bare name alone when the folder is empty.
std::filesystem::path GamePath(const std::filesystem::path& folder, const std::filesystem::path& name);

// An exclusive lock on a game folder, held through an operating-system lock
// on the file kLockFileName in it (flock, LockFileEx), so that a run that
// crashes never leaves the folder locked. Extraction and write-back each hold
// it for their whole run; a second run meanwhile is refused at once.
class FolderLock {
public:
    static constexpr const char* kLockFileName = ".quorvane-editor.lock";

    FolderLock() = default;
    ~FolderLock() { Release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock without waiting. False when another run holds it. A
    // folder where the lock file can neither be created nor opened (a
    // read-only folder without one) counts as free: nothing can be written
    // there, so nothing can race.
    // With create false a missing lock file is not made (for runs that only
    // read, and write nothing anywhere): the folder then counts as free.
    bool TryAcquire(const std::filesystem::path& folder, bool create = true);
    void Release();

private:
    std::intptr_t handle_ = -1;
};

// The folder as reports name it: the folder itself, or the working directory
// when it is empty.
std::string FolderForReports(const std::filesystem::path& folder);

// The report of a run refused because another holds the folder's lock.
std::string FolderInUse(const std::filesystem::path& folder);

}  // namespace quorvane
