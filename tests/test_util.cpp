#include "test_util.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef _WIN32
#include <windows.h>
#include <system_error>
#else
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

#ifdef _WIN32
namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// A file the started program writes its standard output or error into.
HANDLE OutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace
#endif

CliRun Cli(const std::string& cwd, const std::string& args, const TempDir& scratch) {
    const std::string out = scratch.File("cli.out");
    const std::string err = scratch.File("cli.err");
    CliRun r;
#ifdef _WIN32
    // The program is started itself, with its output in the two files: one
    // process per run, and no console for it to wait on. The program takes
    // its arguments from the command line as it would from a console's.
    static const std::wstring cli = std::filesystem::absolute(QUORVANE_CLI_PATH).wstring();
    std::wstring line = L"\"" + cli + L"\" " + Wide(args);
    HANDLE files[2] = {OutputFile(out), OutputFile(err)};
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = INVALID_HANDLE_VALUE;
    start.hStdOutput = files[0];
    start.hStdError = files[1];
    PROCESS_INFORMATION process{};
    // A program that could not be started never ran: that is tried again,
    // and said, never taken for the program's own result.
    bool started = false;
    DWORD startError = 0;
    for (int attempt = 0; attempt < 3 && !started && files[0] != INVALID_HANDLE_VALUE && files[1] != INVALID_HANDLE_VALUE;
         ++attempt) {
        if (attempt > 0) {
            std::fprintf(stderr, "quorvane-cli could not be started (%s); trying again\n",
                         std::system_category().message(static_cast<int>(startError)).c_str());
            Sleep(1000);
        }
        started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                                 Wide(cwd).c_str(), &start, &process);
        startError = started ? 0 : GetLastError();
    }
    for (HANDLE h : files)
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    r.status = -1;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) r.status = static_cast<int>(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    r.out = ReadFile(out);
    r.err = started ? ReadFile(err) : "quorvane-cli could not be started: " + std::system_category().message(static_cast<int>(startError));
#else
    const std::string cmd = "cd '" + cwd + "' && timeout -k 5 120 '" + QUORVANE_CLI_PATH + "' " + args + " >'" + out +
                            "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) && WEXITSTATUS(raw) < 124 ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(out);
    r.err = ReadFile(err);
#endif
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

std::vector<std::string> Mutated(std::vector<std::string> lines, const std::function<std::uint32_t()>& next) {
    const char alphabet[] = {'-', ',', ';', ' ', '9', '0', '1', '7', 'x', '\xB1', '\xB0', '"', '\r'};
    for (int m = 1 + static_cast<int>(next() % 4); m > 0; --m) {
        std::string& line = lines[next() % lines.size()];
        if (line.empty()) continue;
        const std::size_t at = next() % line.size();
        const char c = alphabet[next() % sizeof alphabet];
        switch (next() % 4) {
        case 0: line.insert(at, 1, c); break;
        case 1: line.erase(at, 1); break;
        default:
            // Mostly digits changed in place: clean rows whose values differ.
            if (line[at] >= '0' && line[at] <= '9') line[at] = static_cast<char>('0' + next() % 10);
            else line[at] = c;
        }
    }
    return lines;
}

std::vector<ProblemPlace> PlacesOf(const RecordingErrorSink& errors) {
    std::vector<ProblemPlace> places;
    for (const Problem& p : errors.problems) places.emplace_back(p.line, p.section, p.row, p.column);
    return places;
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
