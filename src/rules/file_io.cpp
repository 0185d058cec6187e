#include "rules/file_io.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace quorvane {

namespace fs = std::filesystem;

bool IsWritableFile(const std::string& path) {
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

bool CanReplaceFile(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (fs::exists(st)) return IsWritableFile(path);
    return true;  // creating it is tried when the temporary file is made
}

namespace {

std::string TemporaryName(const fs::path& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(rng() % 1000000000ULL);
        const fs::path candidate = dir / name;
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate.string();
    }
    return {};
}

}  // namespace

bool AtomicFileWriter::Begin(const std::string& path) {
    Abort();
    if (!CanReplaceFile(path)) return false;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::canonical(target, ec);
        if (ec) return false;
        target = resolved;
    }
    const std::string temp = TemporaryName(target);
    if (temp.empty()) return false;
    std::ofstream probe(temp, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!probe.is_open()) return false;
    probe.close();
    target_ = target.string();
    temp_ = temp;
    return true;
}

bool AtomicFileWriter::Commit(std::string_view content) {
    if (temp_.empty()) return false;
    std::error_code ec;
    {
        std::ofstream out(temp_, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out.is_open()) {
            Abort();
            return false;
        }
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        bool ok = out.good();
        out.close();
        ok = ok && !out.fail() && fs::file_size(temp_, ec) == content.size() && !ec;
        if (!ok) {
            Abort();
            return false;
        }
    }
    if (fs::exists(target_, ec)) {
        fs::permissions(temp_, fs::status(target_, ec).permissions(), ec);
    } else {
        fs::permissions(temp_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read, ec);
    }
    fs::rename(temp_, target_, ec);
    if (ec) {
        Abort();
        return false;
    }
    temp_.clear();
    return true;
}

void AtomicFileWriter::Abort() {
    if (temp_.empty()) return;
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
}

bool ReplaceFileContents(const std::string& path, std::string_view content) {
    AtomicFileWriter writer;
    return writer.Begin(path) && writer.Commit(content);
}

bool ReadWholeFile(const std::string& path, const std::function<char*(std::size_t)>& buffer) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open()) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    in.seekg(0, std::ios::beg);
    char* into = buffer(static_cast<std::size_t>(size));
    return size == 0 || static_cast<bool>(in.read(into, size));
}

bool ReadWholeFile(const std::string& path, std::string* content) {
    return ReadWholeFile(path, [content](std::size_t size) {
        content->resize(size);
        return content->data();
    });
}

std::string GamePath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return (fs::path(folder) / name).string();
}

}  // namespace quorvane
