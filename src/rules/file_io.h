// File helpers: the writability test the file actions share, and the safe
// replacement of a rules file (write a temporary file beside it, check it,
// then move it over the target).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvane {

// True when path names an existing regular file that may be opened for
// writing: the system allows it and the file is not marked read-only.
bool IsWritableFile(const std::string& path);

// True when path names a file that does not exist yet but may be created, or
// an existing writable file (see IsWritableFile); false for an empty path or a
// folder.
bool CanReplaceFile(const std::string& path);

// Replaces a file safely: Begin makes an empty temporary file in the target's
// folder (and fails for an empty path, a folder, a read-only file or a folder
// that cannot be written); Commit writes the content into it, flushes and
// checks it, then renames it over the target. On any failure the target is
// left as it was. A writer that is not committed removes its temporary file.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter() { Abort(); }
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool Begin(const std::string& path);
    bool Commit(std::string_view content);
    void Abort();

private:
    std::string target_;
    std::string temp_;
};

// Begin and Commit in one call.
bool ReplaceFileContents(const std::string& path, std::string_view content);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* content);
// The same into storage of the caller's: buffer(size) returns where the size
// bytes go.
bool ReadWholeFile(const std::string& path, const std::function<char*(std::size_t)>& buffer);

// Joins the game folder and a bare file name; the bare name alone when the
// folder is empty.
std::string GamePath(const std::string& folder, const std::string& name);

}  // namespace quorvane
