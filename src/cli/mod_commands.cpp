#include "cli/mod_commands.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "actions/actions.h"
#include "catalogue/catalogue.h"
#include "cli/console.h"
#include "exchange/csv.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "mods/apply.h"
#include "mods/mod_file.h"
#include "mods/original_game.h"
#include "mods/restore.h"

namespace quorvane::cli {

namespace {

using Usage = std::function<int(const std::string&)>;

struct ModOptions {
    std::string sub;  // export, apply, conflicts; empty for restore
    std::filesystem::path rules, gameDir, out;
    std::string name, author, description;
    std::vector<std::filesystem::path> mods;
    bool hasRules = false, hasGameDir = false, hasOut = false, hasName = false, hasAuthor = false,
         hasDescription = false, dryRun = false;
};

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

// A text given on the command line for a mod's name, author or description:
// kept when it is UTF-8, else taken as Latin-1.
std::string FreeText(const std::string& argument) {
    return FindInvalidUtf8(argument) == std::string::npos ? argument : Latin1ToUtf8(argument);
}

// Loads the rules file into s; false, having reported why, when it cannot be
// read or was not read cleanly.
bool LoadRules(Session& s, const StderrSink& errors) {
    const int before = errors.count;
    return LoadCommand(s) && errors.count == before;
}

// Reads one mod file; its problems are reported (a line each, after the mod's
// name as given), its notes printed to stderr without counting as problems.
std::optional<Mod> ReadModFile(const std::filesystem::path& path, StderrSink& errors) {
    const std::string name = PathText(path);
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        errors.ReportProblem(Problem::OpenFailed(path));
        return std::nullopt;
    }
    ModRead read = ReadMod(text);
    for (const std::string& note : read.notes) {
        const std::string line = name + ": " + note + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    for (const std::string& problem : read.problems) errors.Report(name + ": " + problem);
    if (!read.Readable()) return std::nullopt;
    return std::move(read.mod);
}

// The mods in the order given; one that cannot be read stands in the order as
// a mod without changes, after the report "Nothing was applied from M.".
std::vector<Mod> ReadModFiles(const ModOptions& o, StderrSink& errors, std::vector<bool>* readable) {
    std::vector<Mod> mods;
    for (const std::filesystem::path& path : o.mods) {
        std::optional<Mod> mod = ReadModFile(path, errors);
        readable->push_back(mod.has_value());
        if (!mod) errors.Report("Nothing was applied from " + PathText(path) + ".");
        mods.push_back(mod ? std::move(*mod) : Mod{});
    }
    return mods;
}

int Export(const ModOptions& o, const Usage& usage) {
    if (!o.hasRules) return usage("mod export needs --rules FILE");
    if (!o.hasOut) return usage("mod export needs --out FILE");
    StderrSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.rulesPath = o.rules;
    const std::string outName = PathText(o.out);
    const std::string notWritten = "Nothing was written to " + outName + ".";
    if (!LoadRules(s, errors)) {
        errors.Report(notWritten);
        return 1;
    }
    const OriginalGame original = ReadOriginalGame(o.gameDir, errors);
    if (errors.count > 0) {
        errors.Report(notWritten);
        return 1;
    }
    Mod mod = MakeMod(s.grid, original.values, FreeText(o.hasName ? o.name : PathText(o.out.stem())));
    mod.author = FreeText(o.author);
    mod.description = FreeText(o.description);
    // A mod file holds only values a write takes: the same check as reading it.
    for (const std::string& refused : RefusedChanges(mod)) errors.Report(PathText(o.rules) + ": " + refused);
    if (errors.count > 0) {
        errors.Report(notWritten);
        return 1;
    }
    if (!WriteModFile(o.out, o.gameDir, mod, errors)) return 1;
    Print(std::to_string(mod.changes.size()) + " changes written to " + outName + ".");
    return 0;
}

int Apply(const ModOptions& o, const Usage& usage) {
    if (!o.hasRules) return usage("mod apply needs --rules FILE");
    if (o.mods.empty()) return usage("mod apply needs at least one mod file");
    StderrSink errors;
    NullProgress progress;
    Session s(errors, progress);
    s.rulesPath = o.rules;
    s.gameFolder = o.gameDir;
    const std::string rulesName = PathText(o.rules);
    const int beforeLoad = errors.count;
    if (!LoadCommand(s)) return 1;
    const bool clean = errors.count == beforeLoad;
    const OriginalGame original = ReadOriginalGame(o.gameDir, errors);
    std::vector<bool> readable;
    const std::vector<Mod> mods = ReadModFiles(o, errors, &readable);
    const ModPlan plan = PlanMods(mods, s.grid, original.values);

    int conflicts = 0;
    for (std::size_t m = 0; m < mods.size(); ++m) {
        if (!readable[m]) continue;
        const std::string name = PathText(o.mods[m]);
        for (const ModEntry& e : plan.entries) {
            if (e.mod != static_cast<int>(m) || e.status != ModStatus::ConflictsWithYourValues) continue;
            const std::string holds = e.recordDiffers ? e.current + " in record " + e.currentRecord : e.current;
            Print(name + ": " + DisplayName(e.i) + " / " + e.record + " / " + e.column + ": the rules file holds " +
                  holds + "; the mod changes " + e.modOriginal + " to " + e.modValue + "; not applied.");
        }
        const ModSummary& sum = plan.summaries[m];
        conflicts += sum.conflicts;
        Print(name + ": " + std::to_string(sum.applied) + " applied, " + std::to_string(sum.alreadyThere) +
              " already there, " + std::to_string(sum.conflicts) + " conflicts, " + std::to_string(sum.overridden) +
              " overridden by later mods.");
    }
    std::fflush(stdout);
    if (!o.dryRun && ApplyPlan(plan, s.grid) > 0) {
        // Saving would put "Value Not Found" where the load could not read a
        // value, losing what the file holds there.
        if (!clean) errors.Report("Nothing was saved to " + rulesName + ": it has problems to mend first.");
        else SaveCommand(s);
    }
    return conflicts == 0 && errors.count == 0 ? 0 : 1;
}

int Conflicts(const ModOptions& o, const Usage& usage) {
    if (o.mods.size() < 2) return usage("mod conflicts needs two or more mod files");
    StderrSink errors;
    const OriginalGame original = ReadOriginalGame(o.gameDir, errors);
    std::vector<bool> readable;
    const std::vector<Mod> mods = ReadModFiles(o, errors, &readable);
    // Only the mods are compared: the original game stands in for the
    // current values.
    const ModPlan plan = PlanMods(mods, original.values, original.values);
    for (const ModConflict& c : plan.conflicts) {
        const ModEntry& first = plan.entries[c.entries.front()];
        std::string line = DisplayName(c.i) + '\t' + first.record + '\t' + first.column + '\t' + first.original;
        for (std::size_t at : c.entries) {
            const ModEntry& e = plan.entries[at];
            line += '\t' + PathText(o.mods[static_cast<std::size_t>(e.mod)]) + '=' + e.modValue;
        }
        line += "\twins: " + PathText(o.mods[static_cast<std::size_t>(plan.entries[c.entries.back()].mod)]);
        Print(line);
    }
    std::fflush(stdout);
    return plan.conflicts.empty() && errors.count == 0 ? 0 : 1;
}

int Restore(const ModOptions& o) {
    StderrSink errors;
    const RestoreResult result = RestoreOriginalGame(o.gameDir, errors, o.dryRun);
    for (const RestoreFile& f : result.files) Print(RestoreLine(f, o.dryRun));
    std::fflush(stdout);
    return errors.count == 0 ? 0 : 1;
}

}  // namespace

bool IsModCommand(const std::string& command) { return command == "mod" || command == "restore"; }

int RunModCommand(const std::vector<std::string>& args, const Usage& usage) {
    ModOptions o;
    std::size_t k = 1;
    if (args[0] == "mod") {
        if (args.size() < 2) return usage("mod needs export, apply or conflicts");
        o.sub = args[1];
        if (o.sub != "export" && o.sub != "apply" && o.sub != "conflicts")
            return usage("unknown mod command '" + o.sub + "'");
        k = 2;
    }
    const bool exporting = o.sub == "export", applying = o.sub == "apply", listing = o.sub == "conflicts";
    for (; k < args.size(); ++k) {
        const std::string& a = args[k];
        auto value = [&](auto& into, bool& seen) { return TakeOptionValue(args, k, into, seen); };
        bool ok = true;
        if (a == "--game-dir") ok = value(o.gameDir, o.hasGameDir);
        else if (a == "--rules" && (exporting || applying)) ok = value(o.rules, o.hasRules);
        else if (a == "--out" && exporting) ok = value(o.out, o.hasOut);
        else if (a == "--name" && exporting) ok = value(o.name, o.hasName);
        else if (a == "--author" && exporting) ok = value(o.author, o.hasAuthor);
        else if (a == "--description" && exporting) ok = value(o.description, o.hasDescription);
        else if (a == "--dry-run" && (applying || o.sub.empty()) && !o.dryRun) o.dryRun = true;
        else if ((applying || listing) && !a.empty() && a.rfind("--", 0) != 0) o.mods.push_back(PathFromText(a));
        else return usage("unexpected argument '" + a + "'");
        if (!ok) return usage("option " + a + " needs one value");
    }
    if (o.sub.empty()) return Restore(o);
    if (exporting) return Export(o, usage);
    return applying ? Apply(o, usage) : Conflicts(o, usage);
}

}  // namespace quorvane::cli
