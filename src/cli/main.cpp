// quorvane-cli: the four file actions of the editor from a shell.
//
//   quorvane-cli extract --rules FILE [--game-dir DIR]
//   quorvane-cli write   --rules FILE [--game-dir DIR]
//   quorvane-cli load    --rules FILE [--save OUT] [--dump]
//   quorvane-cli sample-game DIR [--seed N]
//   quorvane-cli export-csv --rules FILE --section NAME|all [--out OUT]
//   quorvane-cli import-csv --rules FILE --section NAME IN.csv [--dry-run]
//   quorvane-cli mod export|apply|conflicts ...   and   quorvane-cli restore
//   quorvane-cli --help | --version
//   --debug-log FILE on any command but the CSV and mod ones writes the trace there.
//
// Every error report goes to stderr as one line, in the order raised. Exit
// status: 0 when nothing was reported, 1 when something was, 2 for a usage
// error.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <iostream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "session/session.h"
#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "cli/console.h"
#include "cli/csv_commands.h"
#include "cli/mod_commands.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "sample/sample_game.h"
#include "writeback/dry_run.h"
#include "writeback/pipeline.h"

namespace {

using namespace quorvane;

const char kUsage[] =
    "usage:\n"
    "  quorvane-cli extract --rules FILE [--game-dir DIR] [--debug-log FILE]\n"
    "  quorvane-cli write   --rules FILE [--game-dir DIR] [--dry-run] [--debug-log FILE]\n"
    "  quorvane-cli diff    --rules FILE [--game-dir DIR] [--bytes] [--debug-log FILE]\n"
    "  quorvane-cli load    --rules FILE [--save OUT] [--dump] [--debug-log FILE]\n"
    "  quorvane-cli sample-game DIR [--seed N] [--debug-log FILE]\n"
    "  quorvane-cli export-csv --rules FILE --section NAME [--out OUT.csv]\n"
    "  quorvane-cli export-csv --rules FILE --section all --out FOLDER\n"
    "  quorvane-cli import-csv --rules FILE --section NAME IN.csv [--dry-run]\n"
    "  quorvane-cli mod export --rules FILE [--game-dir DIR] --out MOD [--name TEXT]\n"
    "                          [--author TEXT] [--description TEXT]\n"
    "  quorvane-cli mod apply --rules FILE [--game-dir DIR] [--dry-run] MOD [MOD ...]\n"
    "  quorvane-cli mod conflicts [--game-dir DIR] MOD MOD [MOD ...]\n"
    "  quorvane-cli restore [--game-dir DIR] [--dry-run]\n"
    "  quorvane-cli --help | --version\n"
    "\n"
    "extract      read the six game files and write the rules file\n"
    "write        write the rules file's values into the game files;\n"
    "             --dry-run only reports what the write would report\n"
    "diff         list every cell the write would change (nothing is written):\n"
    "             i j s, game text, new text, section, record and column names;\n"
    "             then the cells whose second copy alone changes, marked\n"
    "             \"kept in step with its second copy in FILE\";\n"
    "             --bytes lists every game byte instead: file, offset, old, new\n"
    "load         read the rules file; --save writes it out again to OUT,\n"
    "             --dump prints every cell as i<TAB>j<TAB>s<TAB>text\n"
    "sample-game  write six synthetic game files (not the game's) into DIR\n"
    "export-csv   write one section of the rules file as CSV (UTF-8, CR LF) to\n"
    "             OUT.csv or standard output; NAME is the section's display name\n"
    "             or directive text, any case; all writes one file per section\n"
    "import-csv   replace the section's values in the rules file from IN.csv,\n"
    "             rows by position, every value checked; nothing is changed when\n"
    "             any value is refused; --dry-run only reports\n"
    "mod export   write the values of the rules file that differ from the original\n"
    "             game (the game files' .bak backups, else the files) to MOD\n"
    "mod apply    apply the mods, in the order given, to the rules file's values:\n"
    "             a value is set where the file holds the mod's original (or the\n"
    "             game's own), kept where it holds anything else (a conflict,\n"
    "             listed); a later mod wins over an earlier one; --dry-run lists\n"
    "             and saves nothing\n"
    "mod conflicts list the values two or more of the mods change differently\n"
    "restore      put back every game file that has a .bak from its backup\n"
    "             (the backups stay); --dry-run only says what would change\n"
    "--help       print this text; --version prints the version\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "quorvane-cli: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

struct Options {
    std::string command;
    std::filesystem::path folder;  // sample-game's DIR
    std::filesystem::path rules, gameDir, save, debugLog;
    std::string seed;
    bool hasRules = false, hasSave = false, hasDebugLog = false, hasSeed = false, dump = false;
    bool dryRun = false, bytes = false;
};

void Escape(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c; break;
        }
    }
}

void Dump(const Session& s) {
    std::string out;
    out.reserve(400000);
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 0; step < Columns(i); ++step) {
                out += std::to_string(i);
                out += '\t';
                out += std::to_string(j);
                out += '\t';
                out += std::to_string(step);
                out += '\t';
                Escape(out, s.grid.GetArrayValue(i, j, step));
                out += '\n';
            }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

// One line per changed cell, or with bytes one per changed game byte.
void PrintDiff(const DryRunResult& result, bool bytes) {
    std::string out;
    if (bytes) {
        char offset[32];
        for (const ByteChange& b : result.bytes) {
            std::snprintf(offset, sizeof offset, "0x%zX", b.offset);
            out += GameFileName(b.file);
            out += '\t';
            out += offset;
            out += '\t' + std::to_string(b.before) + '\t' + std::to_string(b.after) + '\n';
        }
    } else {
        const auto line = [&out](const CellChange& c) {
            out += std::to_string(c.i) + '\t' + std::to_string(c.j) + '\t' + std::to_string(c.step) + '\t';
            Escape(out, c.gameText);
            out += '\t';
            Escape(out, c.newText);
            out += '\t';
            Escape(out, DisplayName(c.i));
            out += '\t';
            Escape(out, c.recordName);
            out += '\t';
            if (c.i <= kLastRecordSection) Escape(out, ColumnName(c.i, c.step));
        };
        for (const CellChange& c : result.cells) {
            line(c);
            out += '\n';
        }
        // Then, as the editor's Changes window lists them, the values that
        // change only because their second copy differs, marked.
        for (const CellChange& c : result.furtherPlaces) {
            line(c);
            out += '\t';
            out += KeptInStepText(c.i, c.j, c.step);
            out += '\n';
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

// Which options each command takes.
bool TakesGameDir(const std::string& command) { return command == "extract" || command == "write" || command == "diff"; }
bool IsRulesCommand(const std::string& command) {
    return command == "extract" || command == "write" || command == "load" || command == "diff";
}

// Reads the options after the command into o; a usage problem's text, or
// empty when they are all right.
std::string ParseOptions(const std::vector<std::string>& args, Options& o) {
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        auto value = [&](auto& into, bool& seen) { return TakeOptionValue(args, k, into, seen); };
        bool ok = true;
        bool gameDirSeen = !o.gameDir.empty();
        const std::string& c = o.command;
        if (a == "--rules") ok = value(o.rules, o.hasRules);
        else if (a == "--game-dir" && TakesGameDir(c)) ok = value(o.gameDir, gameDirSeen);
        else if (a == "--dry-run" && c == "write" && !o.dryRun) o.dryRun = true;
        else if (a == "--bytes" && c == "diff" && !o.bytes) o.bytes = true;
        else if (a == "--save" && c == "load") ok = value(o.save, o.hasSave);
        else if (a == "--dump" && c == "load" && !o.dump) o.dump = true;
        else if (a == "--debug-log") ok = value(o.debugLog, o.hasDebugLog);
        else if (a == "--seed" && c == "sample-game") ok = value(o.seed, o.hasSeed);
        else if (c == "sample-game" && o.folder.empty() && !a.empty() && a.rfind("--", 0) != 0) o.folder = PathFromText(a);
        else return "unexpected argument '" + a + "'";
        if (!ok) return "option " + a + " needs one value";
    }
    return {};
}

// sample-game DIR [--seed N]: never over game files already there, which may
// be a real install.
int SampleGameCommand(const Options& o, Session& session, const StderrSink& errors) {
    if (o.folder.empty()) return Usage("sample-game needs a folder");
    if (o.hasRules) return Usage("sample-game takes no --rules");
    std::uint32_t seed = 1;
    if (o.hasSeed) {
        char* end = nullptr;
        const unsigned long long v = std::strtoull(o.seed.c_str(), &end, 10);
        if (o.seed.empty() || *end != '\0' || v > 0xFFFFFFFFULL) return Usage("--seed needs a number 0 to 4294967295");
        seed = static_cast<std::uint32_t>(v);
    }
    for (GameFile f : GameFileOpenOrder()) {
        const std::filesystem::path path = GamePath(o.folder, GameFileName(f));
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
            session.Report(path, " already exists; no sample game was written.");
            return 1;
        }
    }
    std::filesystem::path failed;
    if (!WriteSampleGame(o.folder, seed, &failed)) session.Report("Error opening ", failed);
    return errors.count == 0 ? 0 : 1;
}

// extract, write, diff and load on the rules file.
int RulesCommand(const Options& o, Session& session, const StderrSink& errors) {
    if (!o.hasRules) return Usage(o.command + " needs --rules FILE");
    session.rulesPath = o.rules;
    session.gameFolder = o.gameDir;
    if (o.command == "extract") {
        ExtractCommand(session);
    } else if (o.command == "write" && !o.dryRun) {
        WriteRulesCommand(session);
    } else if (o.command == "write" || o.command == "diff") {
        const DryRunResult result = DryRunWrite(session);
        if (o.command == "diff") PrintDiff(result, o.bytes);
    } else {
        // Nothing read, nothing saved: OUT keeps what it holds.
        const bool read = LoadCommand(session);
        if (o.hasSave && read) {
            session.rulesPath = o.save;
            SaveCommand(session);
        }
        if (o.dump) Dump(session);
    }
    return errors.count == 0 ? 0 : 1;
}

int Run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("no command given");
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::fputs("quorvane-cli " QUORVANE_VERSION "\n", stdout);
        return 0;
    }
    if (cli::IsCsvCommand(args[0])) return cli::RunCsvCommand(args, Usage);
    if (cli::IsModCommand(args[0])) return cli::RunModCommand(args, Usage);
    Options o;
    o.command = args[0];
    if (!IsRulesCommand(o.command) && o.command != "sample-game") return Usage("unknown command '" + o.command + "'");
    if (const std::string problem = ParseOptions(args, o); !problem.empty()) return Usage(problem);

    StderrSink errors;
    NullProgress progress;
    Session session(errors, progress);
    if (o.hasDebugLog && !session.log.Open(o.debugLog)) session.Report("Error opening ", o.debugLog);
    return o.command == "sample-game" ? SampleGameCommand(o, session, errors) : RulesCommand(o, session, errors);
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStdio();
#ifdef SIGXFSZ
    // A file-size limit makes the write that passes it fail, and the failure
    // is reported and cleaned up, instead of ending the process mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // No input, however large or odd, ends the tool through an exception.
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("Not enough memory; the action stopped.\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "The action stopped: %s\n", e.what());
    }
    return 1;
}
