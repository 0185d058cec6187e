// Helpers shared by the fuzz targets: a scratch folder, whole-file reads and
// writes, and a loud stop when an invariant fails.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "session/session.h"
#include "catalogue/catalogue.h"

namespace quorvane::fuzz {

namespace fs = std::filesystem;

// Prints the failed invariant and aborts, so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "\n*** invariant failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline std::string CellName(int i, int j, int s) {
    return "cell (" + std::to_string(i) + ", " + std::to_string(j) + ", " + std::to_string(s) + ")";
}

// A fresh folder for one fuzzing process. Files are rewritten for every input,
// so a memory-backed folder is used when there is one: $QUORVANE_FUZZ_TMP,
// else /dev/shm, else the system's temporary folder.
inline fs::path MakeScratchFolder(const char* tag) {
    fs::path base;
    if (const char* env = std::getenv("QUORVANE_FUZZ_TMP"); env && *env) base = env;
    else if (std::error_code ec; fs::is_directory("/dev/shm", ec)) base = "/dev/shm";
    else base = fs::temp_directory_path();
    std::random_device rd;
    const fs::path dir = base / (std::string("quorvane_") + tag + "_" + std::to_string(rd() % 1000000000U));
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) Fail("cannot create the scratch folder " + dir.string());
    // Removed when the process ends normally; kept after a failure.
    static fs::path scratch;
    scratch = dir;
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    });
    return dir;
}

inline void WriteFile(const fs::path& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) Fail("cannot write " + path.string());
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) Fail("cannot read " + path.string());
    std::string data(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    if (!in) Fail("short read of " + path.string());
    return data;
}

inline void RequireNoReports(const RecordingErrorSink& errors, const char* action) {
    if (errors.texts.empty()) return;
    Fail(std::string(action) + " reported \"" + errors.texts.front() + "\" (" + std::to_string(errors.texts.size()) +
         " report(s))");
}

// Every in-use cell of two grids holds the same text.
inline void RequireSameGrid(const ValueGrid& a, const ValueGrid& b, const char* what) {
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int s = 0; s < Columns(i); ++s)
                if (a.GetArrayValue(i, j, s) != b.GetArrayValue(i, j, s))
                    Fail(std::string(what) + ": " + CellName(i, j, s) + " was \"" + std::string(a.GetArrayValue(i, j, s)) +
                         "\", then \"" + std::string(b.GetArrayValue(i, j, s)) + "\"");
}

}  // namespace quorvane::fuzz
