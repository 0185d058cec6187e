#ifndef _WIN32

#include "io/file_attributes.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace quorvane {

namespace {

std::string ReasonOf(int error) { return std::generic_category().message(error); }

#ifdef __linux__

// Reads a list or a value of fd's extended attributes whose size may change
// between asking for it and reading it. False when it cannot be read.
template <typename Read>
bool ReadSized(std::string* out, Read read) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) return false;
        out->assign(static_cast<std::size_t>(size), '\0');
        if (size == 0) return true;
        const ssize_t got = read(out->data(), out->size());
        if (got >= 0) {
            out->resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
    return false;
}

// The names of fd's extended attributes; none where the file system keeps
// none. False when they cannot be listed.
bool AttributeNames(int fd, std::vector<std::string>* names) {
    std::string list;
    if (!ReadSized(&list, [fd](char* into, std::size_t size) { return ::flistxattr(fd, into, size); }))
        return errno == ENOTSUP;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = list.find('\0', at);
        const std::size_t stop = end == std::string::npos ? list.size() : end;
        if (stop > at) names->push_back(list.substr(at, stop - at));
        at = stop + 1;
    }
    return true;
}

std::string AttributeInWords(const std::string& name) {
    if (name == "system.posix_acl_access") return "its access control list";
    return "its extended attribute " + name;
}

void CopyExtendedAttributes(int from, int to, std::vector<std::string>* lost) {
    std::vector<std::string> names;
    if (!AttributeNames(from, &names)) {
        lost->push_back("its extended attributes");
        return;
    }
    // What the new file got from its folder (a default access control list)
    // and the old one did not have goes.
    std::vector<std::string> inherited;
    if (AttributeNames(to, &inherited))
        for (const std::string& name : inherited)
            if (std::find(names.begin(), names.end(), name) == names.end()) ::fremovexattr(to, name.c_str());
    for (const std::string& name : names) {
        std::string value;
        const bool read = ReadSized(&value, [&](char* into, std::size_t size) {
            return ::fgetxattr(from, name.c_str(), into, size);
        });
        if (!read || ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
            lost->push_back(AttributeInWords(name));
    }
}

#endif

}  // namespace

bool CopyFileAttributes(const std::filesystem::path& from, int fd, int permissions, std::vector<std::string>* lost,
                        std::string* reason) {
    struct stat old{};
    int source = -1;
    if (!from.empty()) {
        source = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (source >= 0 && (::fstat(source, &old) != 0 || !S_ISREG(old.st_mode))) {
            ::close(source);
            source = -1;
        }
    }
    if (source < 0) {
        if (permissions < 0 || ::fchmod(fd, static_cast<mode_t>(permissions & 07777)) == 0) return true;
        *reason = ReasonOf(errno);
        return false;
    }
    mode_t mode = old.st_mode & 07777;
    struct stat now{};
    if (::fstat(fd, &now) != 0) now = old;
    const bool ownerDiffers = now.st_uid != old.st_uid;
    const bool groupDiffers = now.st_gid != old.st_gid;
    if ((ownerDiffers || groupDiffers) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // The group alone may still be given (one the user belongs to).
        const bool groupKept = !groupDiffers || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
        lost->push_back(!ownerDiffers ? "its group" : groupKept ? "its owner" : "its owner and group");
        const mode_t special = mode & (S_ISUID | S_ISGID);
        if (special == (S_ISUID | S_ISGID)) lost->push_back("its set-uid and set-gid bits");
        else if (special == S_ISUID) lost->push_back("its set-uid bit");
        else if (special == S_ISGID) lost->push_back("its set-gid bit");
        mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }
#ifdef __linux__
    CopyExtendedAttributes(source, fd, lost);
#endif
    ::close(source);
    // Last: giving a file away clears its set-uid and set-gid bits.
    if (::fchmod(fd, mode) == 0) return true;
    *reason = ReasonOf(errno);
    return false;
}

}  // namespace quorvane

#endif
