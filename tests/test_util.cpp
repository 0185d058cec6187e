#include "test_util.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "catalogue/catalogue.h"
#include "sample/sample_game.h"

namespace quorvane::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device rd;
    for (;;) {
        fs::path p = fs::temp_directory_path() / ("quorvane-test-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p.string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore write permission where a test took it away, so removal works.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

// With the system's separators throughout ("a/b" names a\b on Windows), as the
// core joins a folder and a file name.
std::string TempDir::File(const std::string& name) const { return (fs::path(path_) / name).make_preferred().string(); }

std::string Native(const std::string& path) { return fs::path(path).make_preferred().string(); }

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    const std::string s = ReadFile(path);
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

CliRun Cli(const std::string& cwd, const std::string& args, const TempDir& scratch) {
    const std::string out = scratch.File("cli.out");
    const std::string err = scratch.File("cli.err");
#ifdef _WIN32
    // A path without a drive letter names a folder on the current drive:
    // fix it before changing to a folder that may be on another drive.
    static const std::string cli = std::filesystem::absolute(QUORVANE_CLI_PATH).string();
    const std::string cmd = "cd /d \"" + cwd + "\" && \"" + cli + "\" " + args + " >\"" + out + "\" 2>\"" + err + "\"";
    const int raw = std::system(cmd.c_str());
    CliRun r;
    r.status = raw;
#else
    const std::string cmd = "cd '" + cwd + "' && timeout -k 5 120 '" + QUORVANE_CLI_PATH + "' " + args + " >'" + out +
                            "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) && WEXITSTATUS(raw) < 124 ? WEXITSTATUS(raw) : -1;
#endif
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    return r;
}

void MakeSampleGame(const fs::path& dir, std::uint32_t seed) { WriteSampleGame(dir, seed); }

std::vector<std::uint8_t> GameBytes(const fs::path& dir, GameFile f) {
    return ReadBytes(dir / GameFileName(f));
}

int RecordLineNumber(int i, int j) {
    int line = 3;  // the version line, an empty line, then the first directive
    for (int k = 0; k < i; ++k) line += Rows(k) + 3;
    return line + 1 + j;
}

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t end = content.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(content.substr(pos));
            break;
        }
        lines.push_back(content.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

void FillValidGrid(Session& s) {
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 0; step < Columns(i); ++step) {
                std::string text;
                if (step == 0) text = "Row " + std::to_string(i) + " " + std::to_string(j);
                else if (GetFieldKind(i, j, step) == FieldKind::BitFlags) text = "0000" + std::string(j % 2 ? "1010" : "0101");
                else if (i == kDestroyedItemsSection) text = "50";
                else text = std::to_string((i + j + step) % 200);
                s.grid.SetArrayValue(i, j, step, text);
            }
}

}  // namespace quorvane::test
