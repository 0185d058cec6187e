// What a file that replaces another must keep of it, on systems with owners
// and extended attributes. Used by the atomic writer on the new file before
// it is renamed over the old one.
#pragma once

#ifndef _WIN32

#include <filesystem>
#include <string>
#include <vector>

namespace quorvane {

// Gives the open new file fd the owner and group, the permission bits and the
// extended attributes (access control lists included) of the regular file
// from. When the owner or group cannot be given (only the system's
// administrator may give a file away), the set-uid and set-gid bits are
// dropped, so that the new file never runs as someone it did not run as.
// With from empty (a new file), the bits are permissions, or those a new file
// gets when it is -1. Returns false, with the system's reason in *reason, when
// the permission bits cannot be set; whatever else could not be kept is added
// to *lost in words for a report ("its owner and group", "its access control
// list", "its extended attribute user.origin").
bool CopyFileAttributes(const std::filesystem::path& from, int fd, int permissions, std::vector<std::string>* lost,
                        std::string* reason);

}  // namespace quorvane

#endif
