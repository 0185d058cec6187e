// File helpers the file actions share: the writability test, whole-file reads
// with a size limit, the safe replacement of a file (a temporary file beside
// it, flushed to disk, given the target's owner, permission bits and extended
// attributes, then renamed over it), the in-place write of a file with
// several names, and the locks that keep two runs off one game folder.
//
// Only regular files are ever opened: a folder, a pipe or a device found
// where a file is expected is treated like a file that cannot be opened, and
// its type is found out without opening it, so nothing ever waits on a pipe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

// Files larger than this are treated as files that cannot be opened: no rules
// file or game file comes near it, and reading one whole must not exhaust
// memory.
inline constexpr std::uint64_t kMaxFileSize = 64ull * 1024 * 1024;
// The same for a CSV file: a section's CSV is well under 100 KB, and one
// many times larger is refused before it is read.
inline constexpr std::uint64_t kMaxCsvFileSize = 16ull * 1024 * 1024;

// True when path names an existing regular file that may be opened for
// writing: the system allows it and the file is not marked read-only.
bool IsWritableFile(const std::filesystem::path& path);

// True when path names a file that does not exist yet but may be created, or
// an existing writable file (see IsWritableFile); false for an empty path or a
// folder.
bool CanReplaceFile(const std::filesystem::path& path);

// Replaces a file safely: Begin makes an empty temporary file in the target's
// folder (and fails for an empty path, a folder or other file that is not a
// regular file, a read-only file or a folder that cannot be written); Commit
// writes the content into it, gives it the owner, group, permission bits and
// extended attributes (access control lists included) of the file it
// replaces (for a new target, the permission bits passed to Commit, or those
// a new file gets), flushes it to disk, then renames it over the target, so
// the target is always either entirely old or entirely new. On any failure
// the target is left as it was, the temporary file is removed, and Failure()
// gives the system's reason. A writer that is not committed removes its
// temporary file.
//
// A commit makes its system calls through a WriterCalls: write the content into
// the temporary file, flush it to disk, rename it over the target, flush the
// target's folder so that the rename is on disk too. A test may give a writer
// calls of its own, to see their order or make one of them fail.
//
// Temporary files are named ".NAME.DIGITS.qvtmp" beside the target NAME, with
// NAME cut to its first kTempNameBytes bytes so that the temporary name stays
// within the system's limit whatever the target's length. A successful Commit
// removes leftovers of that pattern for the same target that no running
// writer holds (a killed process leaves them behind).
struct WriterCalls {
    std::function<bool(std::intptr_t file, std::string_view content)> write;  // false: the reason is in errno
    std::function<bool(std::intptr_t file)> flush;
    std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)> rename;
    std::function<void(const std::filesystem::path& folder)> flushFolder;  // done where the system can
};
// The operating system's calls.
const WriterCalls& SystemWriterCalls();

class AtomicFileWriter {
public:
    // What happens to a symbolic link at the target: Follow replaces the file
    // it names (the link stays; a rules file or a game file kept elsewhere),
    // Replace puts the new file in the link's place, so that nothing is ever
    // written through a link planted at the name of a file the editor makes.
    enum class Links { Follow, Replace };

    AtomicFileWriter() = default;
    // A writer that makes its system calls through calls, which must outlive it.
    explicit AtomicFileWriter(const WriterCalls& calls) : calls_(&calls) {}
    ~AtomicFileWriter() { Abort(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Begin(const std::filesystem::path& path, Links links = Links::Follow);
    // The new file takes its owner, group, permission bits and extended
    // attributes from file instead of from the target (a backup takes them
    // from the file it copies). Call before Commit.
    void TakeAttributesFrom(const std::filesystem::path& file) { attributesFrom_ = file; }
    // permissions: the bits for a target that does not exist yet; -1 leaves
    // the bits a new file gets.
    bool Commit(std::string_view content, int permissions = -1);
    void Abort();

    // Why the last Begin or Commit failed, in the system's words ("No space
    // left on device"); empty after a success.
    const std::string& errorString() const { return failure_; }
    // After a successful Commit: what the new file could not keep of the old
    // one's attributes ("its owner and group", "its extended attribute
    // user.origin"); empty when it kept everything.
    const std::vector<std::string>& Lost() const { return lost_; }

private:
    const WriterCalls* calls_ = &SystemWriterCalls();
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::filesystem::path attributesFrom_;
    std::intptr_t handle_ = -1;  // the open temporary file, held locked
    std::string failure_;
    std::vector<std::string> lost_;
};

// How many bytes of the target's name a temporary file's name keeps.
inline constexpr std::size_t kTempNameBytes = 64;

// Begin and Commit in one call, following a link at path. On failure, and
// when given, *failure is the system's reason.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view content, int permissions = -1,
                         std::string* failure = nullptr);
// The same for a file the editor makes (an export): a link at path is
// replaced by the new file, never written through.
bool CreateFileContents(const std::filesystem::path& path, std::string_view content, std::string* failure = nullptr);

// Writes the given [begin, end) ranges of content, which is as long as the
// file, into the existing file at path in place, then flushes it to disk. For
// a file with several names (hard links), which a replacement would split
// from its other names. Returns false with the system's reason in *failure;
// the file may then hold some of the new ranges.
bool WriteRangesInPlace(const std::filesystem::path& path, std::string_view content,
                        const std::vector<std::pair<std::size_t, std::size_t>>& ranges, std::string* failure);

// How many names (hard links) the file at path has, following a symbolic
// link; 0 when it cannot be told.
std::uintmax_t NameCount(const std::filesystem::path& path);

// The permission bits of an existing file (as st_mode & 07777), or -1.
int FilePermissions(const std::filesystem::path& path);

// What is at path, found out without opening it and without following a
// symbolic link there.
enum class EntryKind { Missing, RegularFile, Other };
EntryKind EntryKindOf(const std::filesystem::path& path);

// True when name is a temporary file of AtomicFileWriter for target name.
bool IsTemporaryNameFor(std::string_view name, std::string_view target);

// Removes the leftover temporary files of the files (those of a writer that
// was killed) beside them and beside the files links there name. Only regular
// files of the writer's pattern are removed, and only those no running writer
// holds.
void RemoveLeftoversOf(const std::vector<std::filesystem::path>& files);

// Reads a whole regular file; false when it cannot be opened or read, when it
// is not a regular file, or when it is larger than limit.
bool ReadWholeFile(const std::filesystem::path& path, std::string* content, std::uint64_t limit = kMaxFileSize);
// The same into storage of the caller's: buffer(size) returns where the size
// bytes go.
bool ReadWholeFile(const std::filesystem::path& path, const std::function<char*(std::size_t)>& buffer,
                   std::uint64_t limit = kMaxFileSize);

// Joins the game folder and a bare file name with the system's separator; the
// bare name alone when the folder is empty.
std::filesystem::path GamePath(const std::filesystem::path& folder, const std::filesystem::path& name);

// "PATH could not be written: REASON." for a file that did not exist, with
// "; it was left unchanged" before the full stop for one that did.
std::string NotWrittenReport(const std::filesystem::path& path, const std::string& reason, bool existed);
// "PATH was written but lost its owner and group and its extended attribute
// user.origin." for what a writer's Lost() lists.
std::string LostAttributesReport(const std::filesystem::path& path, const std::vector<std::string>& lost);

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

    // Takes the lock without waiting. False when another run holds it, or
    // when something other than a regular file (a symbolic link, a pipe, a
    // folder) stands at the lock file's name; Refusal() then gives the
    // report. A folder where the lock file can neither be created nor opened
    // (a read-only folder without one) counts as free: nothing can be
    // written there, so nothing can race.
    // With create false a missing lock file is not made (for runs that only
    // read, and write nothing anywhere): the folder then counts as free.
    bool TryAcquire(const std::filesystem::path& folder, bool create = true);
    void Release();
    // The report of the last refused TryAcquire.
    const std::string& Refusal() const { return refusal_; }

private:
    std::intptr_t handle_ = -1;
    std::string refusal_;
};

// The locks a run on the game files holds: the game folder's, and for a run
// that writes, that of every other folder one of its files resolves into
// through a link (a mod file shared by two installs), so that no two runs
// ever write one file at once. They are taken without waiting, in one fixed
// order, so that two runs that need the same folders never each hold one the
// other needs; when one is refused, none is kept. Taking them removes the
// leftover temporary files of the files and of their backups.
class GameFolderLocks {
public:
    bool TryAcquire(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files, bool writes);
    void Release() { locks_.clear(); }
    const std::string& Refusal() const { return refusal_; }

private:
    std::vector<std::unique_ptr<FolderLock>> locks_;
    std::string refusal_;
};

// The folder as reports name it: the folder itself, or the working directory
// when it is empty.
std::string FolderForReports(const std::filesystem::path& folder);

// The report of a run refused because another holds the folder's lock.
std::string FolderInUse(const std::filesystem::path& folder);

}  // namespace quorvane
