// The state one editor (or one command-line run, or one test) works on: the
// value grid and its data-loaded flag, the rules-file path, the game folder,
// the reader state shared by the loader and the write-back lookup, and the
// debug log, with the sinks that reports and progress go to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/debug_log.h"
#include "io/error_report.h"
#include "io/path_text.h"
#include "io/progress.h"
#include "session/value_grid.h"

namespace quorvane {

// The current line of the rules file (a view into the text being read, valid
// while that read runs), the position of the next comma search in it, and the
// number of lines read so far.
struct ReaderState {
    std::string_view Line;
    std::size_t position = 0;
    int LineNumber = 0;
};

class Session {
public:
    Session(ErrorSink& errors, ProgressSink& progress) : errors_(&errors), progress_(&progress) { grid.Initialise(); }

    ValueGrid grid;
    ReaderState reader;
    DebugLog log;
    std::filesystem::path rulesPath;   // the rules file the four actions work on
    std::filesystem::path gameFolder;  // folder of the six game files; empty: the working directory
    int dataLoaded = -1;     // 1 once a load or an extraction has run

    bool IsLoaded() const { return dataLoaded != -1; }
    void MarkLoaded() { dataLoaded = 1; }

    ErrorSink& errors() { return *errors_; }
    ProgressSink& progress() { return *progress_; }
    void SetErrorSink(ErrorSink& sink) { errors_ = &sink; }
    void SetProgressSink(ProgressSink& sink) { progress_ = &sink; }

    // Joins the pieces (texts, or paths spelled as PathText spells them) and
    // reports them to the session's error sink.
    template <typename... Pieces>
    void Report(const Pieces&... pieces) { ReportError(*errors_, ReportPiece(pieces)...); }
    // Reports a problem to the session's error sink.
    void ReportProblem(const Problem& problem) { errors_->ReportProblem(problem); }

private:
    static std::string ReportPiece(const std::filesystem::path& path) { return PathText(path); }
    template <typename Text>
    static std::string ReportPiece(const Text& text) { return std::string(text); }

    ErrorSink* errors_;
    ProgressSink* progress_;
};

}  // namespace quorvane
