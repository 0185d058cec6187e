// The command line's standard streams.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/error_report.h"
#include "io/path_text.h"

namespace quorvane {

// Prints each report as one line on stderr, as it is raised, and counts them.
class StderrSink : public ErrorSink {
public:
    void Report(const std::string& text) override {
        ++count;
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    int count = 0;
};

// Takes the value that follows option args[k] into `into` and moves k on to
// it; false when the option was given before or no value follows.
inline bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& k, std::string& into, bool& seen) {
    if (seen || k + 1 >= args.size()) return false;
    into = args[++k];
    seen = true;
    return true;
}
// The same for an option that names a file or folder: the argument's bytes
// become the path.
inline bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& k, std::filesystem::path& into,
                            bool& seen) {
    std::string text;
    if (!TakeOptionValue(args, k, text, seen)) return false;
    into = PathFromText(text);
    return true;
}

// Makes stdout and stderr binary, so that the tool writes the same bytes on
// every system (no LF to CR LF translation on Windows).
void UseBinaryStdio();

}  // namespace quorvane
