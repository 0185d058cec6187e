#include "cli/csv_commands.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/console.h"
#include "io/error_report.h"
#include "catalogue/catalogue.h"
#include "catalogue/game_file.h"
#include "exchange/section_csv.h"
#include "io/file_io.h"
#include "io/path_text.h"

namespace quorvane::cli {

namespace {

struct CsvOptions {
    std::filesystem::path rules, out, input;
    std::string section;
    bool hasRules = false, hasSection = false, hasOut = false, dryRun = false;
};

int Export(const CsvOptions& o, const std::function<int(const std::string&)>& usage) {
    const bool all = o.section == "all";
    const int section = all ? -1 : FindSectionByName(o.section);
    if (!all && section < 0) return usage("no section is named '" + o.section + "'");
    if (all && !o.hasOut) return usage("export-csv --section all needs --out FOLDER");
    StderrSink errors;
    std::string rules;
    const std::string rulesName = PathText(o.rules);
    if (!ReadWholeFile(o.rules, &rules)) {
        errors.ReportProblem(Problem::OpenFailed(o.rules));
        return 1;
    }
    if (!all) {
        std::string csv;
        if (ExportSectionCsv(errors, rules, rulesName, section, &csv)) {
            if (!o.hasOut) {
#ifdef _WIN32
                // The CSV's own CR LF, not one made into CR CR LF.
                _setmode(_fileno(stdout), _O_BINARY);
#endif
                std::fwrite(csv.data(), 1, csv.size(), stdout);
                std::fflush(stdout);
            } else if (IsGameFileOrBackup({}, o.out)) {
                errors.Report(GameFileTargetRefusal(o.out));
            } else if (!CreateFileContents(o.out, csv)) {
                errors.Report("Error writing " + PathText(o.out));
            }
        }
        return errors.count == 0 ? 0 : 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.out, ec);
    if (!std::filesystem::is_directory(o.out, ec)) {
        errors.Report("Error creating the folder " + PathText(o.out));
        return 1;
    }
    for (int i = 0; i < kSectionCount; ++i) {
        if (IsGameFileOrBackup({}, o.out / CsvFileName(i))) {
            errors.Report(GameFileTargetRefusal(o.out / CsvFileName(i)));
            return 1;
        }
    }
    for (int i = 0; i < kSectionCount; ++i) {
        std::string csv;
        if (!ExportSectionCsv(errors, rules, rulesName, i, &csv)) continue;
        const std::filesystem::path path = o.out / CsvFileName(i);
        if (!CreateFileContents(path, csv)) errors.Report("Error writing " + PathText(path));
    }
    return errors.count == 0 ? 0 : 1;
}

int Import(const CsvOptions& o, const std::function<int(const std::string&)>& usage) {
    const int section = FindSectionByName(o.section);
    if (section < 0) return usage("no section is named '" + o.section + "'");
    if (o.input.empty()) return usage("import-csv needs the CSV file to read");
    StderrSink errors;
    if (IsGameFileOrBackup({}, o.rules)) {
        errors.Report(GameFileTargetRefusal(o.rules));
        return 1;
    }
    std::string rules, csv;
    const std::string rulesName = PathText(o.rules);
    const std::string inputName = PathText(o.input);
    if (!ReadWholeFile(o.rules, &rules)) {
        errors.ReportProblem(Problem::OpenFailed(o.rules));
        return 1;
    }
    if (!ReadWholeFile(o.input, &csv, kMaxCsvFileSize)) {
        errors.ReportProblem(Problem::OpenFailed(o.input));
        return 1;
    }
    const CsvImportResult result = ImportSectionCsv(errors, rules, rulesName, section, csv, inputName);
    // An import that changes no value leaves the file untouched.
    if (!result.refused && !o.dryRun && result.changedRows > 0 && !ReplaceFileContents(o.rules, result.rules))
        errors.Report("Error writing " + rulesName + "; it was left unchanged.");
    return errors.count == 0 ? 0 : 1;
}

}  // namespace

bool IsCsvCommand(const std::string& command) { return command == "export-csv" || command == "import-csv"; }

int RunCsvCommand(const std::vector<std::string>& args, const std::function<int(const std::string&)>& usage) {
    const bool import = args[0] == "import-csv";
    CsvOptions o;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        auto value = [&](auto& into, bool& seen) { return TakeOptionValue(args, k, into, seen); };
        bool ok = true;
        if (a == "--rules") ok = value(o.rules, o.hasRules);
        else if (a == "--section") ok = value(o.section, o.hasSection);
        else if (a == "--out" && !import) ok = value(o.out, o.hasOut);
        else if (a == "--dry-run" && import && !o.dryRun) o.dryRun = true;
        else if (import && o.input.empty() && !a.empty() && a.rfind("--", 0) != 0) o.input = PathFromText(a);
        else return usage("unexpected argument '" + a + "'");
        if (!ok) return usage("option " + a + " needs one value");
    }
    if (!o.hasRules) return usage(args[0] + " needs --rules FILE");
    if (!o.hasSection) return usage(args[0] + " needs --section NAME");
    return import ? Import(o, usage) : Export(o, usage);
}

}  // namespace quorvane::cli
