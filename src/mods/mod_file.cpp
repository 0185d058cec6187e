#include "mods/mod_file.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "catalogue/catalogue.h"
#include "catalogue/game_file.h"
#include "exchange/csv.h"
#include "exchange/section_csv.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "writeback/cell_check.h"

namespace quorvane {

namespace {

constexpr std::string_view kMagic = "quorvane-mod";
constexpr std::string_view kChangeShape =
    "a change reads \"SECTION\" [DIRECTIVE] row N \"RECORD\" column N \"COLUMN\" from \"OLD\" to \"NEW\"";

// Appends text in double quotes, escaping quotes, backslashes and control
// characters. Game texts (latin1) are 8-bit and become UTF-8; free texts are
// UTF-8 already.
void AppendQuoted(std::string& out, std::string_view text, bool latin1) {
    const std::string utf8 = latin1 ? Latin1ToUtf8(text) : std::string(text);
    out += '"';
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    out += '"';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the tokens of one line from left to right. Each Take function returns
// false, leaving the problem to its caller, when the next token is not of its
// kind.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() {
        SkipBlanks();
        return at_ == line_.size();
    }
    // A bare word of letters, digits and '-'.
    bool Word(std::string_view word) {
        SkipBlanks();
        std::size_t end = at_;
        while (end < line_.size() && (IsWordChar(line_[end]))) ++end;
        if (line_.substr(at_, end - at_) != word) return false;
        at_ = end;
        return true;
    }
    bool Number(int* n) {
        SkipBlanks();
        std::size_t end = at_;
        long long value = 0;
        while (end < line_.size() && line_[end] >= '0' && line_[end] <= '9' && value < 100000000)
            value = value * 10 + (line_[end++] - '0');
        if (end == at_ || (end < line_.size() && IsWordChar(line_[end]))) return false;
        *n = static_cast<int>(value);
        at_ = end;
        return true;
    }
    // A text in double quotes, its escapes undone; a game text (latin1) is
    // taken back to 8-bit first. Sets *outside when a game text holds a
    // character beyond Latin-1.
    bool Quoted(std::string* text, bool latin1, std::string* outside) {
        SkipBlanks();
        if (at_ >= line_.size() || line_[at_] != '"') return false;
        std::size_t end = at_ + 1;
        while (end < line_.size() && line_[end] != '"') end += line_[end] == '\\' ? 2 : 1;
        if (end >= line_.size()) return false;
        std::string raw(line_.substr(at_ + 1, end - at_ - 1));
        if (latin1) {
            std::string converted;
            if (!Utf8ToLatin1(raw, &converted, outside)) return false;
            raw = std::move(converted);
        }
        text->clear();
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] != '\\') {
                *text += raw[k];
                continue;
            }
            const char e = k + 1 < raw.size() ? raw[++k] : '\0';
            if (e == '"' || e == '\\') *text += e;
            else if (e == 't') *text += '\t';
            else if (e == 'r') *text += '\r';
            else if (e == 'n') *text += '\n';
            else if (e == 'x' && k + 2 < raw.size() && HexDigit(raw[k + 1]) >= 0 && HexDigit(raw[k + 2]) >= 0) {
                *text += static_cast<char>(HexDigit(raw[k + 1]) * 16 + HexDigit(raw[k + 2]));
                k += 2;
            } else {
                return false;
            }
        }
        at_ = end + 1;
        return true;
    }
    // A text in square brackets, taken as it stands.
    bool Bracketed(std::string* text) {
        SkipBlanks();
        if (at_ >= line_.size() || line_[at_] != '[') return false;
        const std::size_t end = line_.find(']', at_);
        if (end == std::string_view::npos) return false;
        *text = std::string(line_.substr(at_ + 1, end - at_ - 1));
        at_ = end + 1;
        return true;
    }

private:
    static bool IsWordChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    }
    void SkipBlanks() {
        while (at_ < line_.size() && (line_[at_] == ' ' || line_[at_] == '\t')) ++at_;
    }
    std::string_view line_;
    std::size_t at_ = 0;
};

int SectionOfDirective(std::string_view directive) {
    for (int i = 0; i < kSectionCount; ++i)
        if (Header(i) == directive) return i;
    return -1;
}

std::string Quote(std::string_view text, bool latin1) {
    std::string out;
    AppendQuoted(out, text, latin1);
    return out;
}

// Reads one change line into change; the problem's text, or empty.
std::string ReadChange(std::string_view line, ModChange& change) {
    LineReader in(line);
    std::string display, directive, column, outside;
    const bool shaped = in.Quoted(&display, false, &outside) && in.Bracketed(&directive) && in.Word("row") &&
                        in.Number(&change.j) && in.Quoted(&change.record, true, &outside) && in.Word("column") &&
                        in.Number(&change.step) && in.Quoted(&column, false, &outside) && in.Word("from") &&
                        in.Quoted(&change.original, true, &outside) && in.Word("to") &&
                        in.Quoted(&change.value, true, &outside) && in.AtEnd();
    if (!outside.empty()) return "\"" + outside + "\" is not a character the game's texts can hold";
    if (!shaped) return std::string("not a line of a mod file; ") + std::string(kChangeShape);
    const int i = SectionOfDirective(directive);
    if (i < 0) return "no section has the directive [" + directive + "]";
    change.i = i;
    if (display != DisplayName(i))
        return "the section [" + directive + "] is " + Quote(DisplayName(i), false) + ", not " + Quote(display, false);
    if (change.j >= Rows(i))
        return "[" + directive + "] has no row " + std::to_string(change.j) + " (rows 0 to " +
               std::to_string(Rows(i) - 1) + ")";
    if (change.step < 1 || change.step >= Columns(i))
        return "[" + directive + "] has no value column " + std::to_string(change.step) + " (columns 1 to " +
               std::to_string(Columns(i) - 1) + ")";
    if (column != ModColumnName(i, change.step))
        return "column " + std::to_string(change.step) + " of [" + directive + "] is " +
               Quote(ModColumnName(i, change.step), false) + ", not " + Quote(column, false);
    const CellCheck check = CheckCell(i, change.j, change.step, change.value);
    if (check.verdict == CellCheck::Verdict::Refused) {
        std::string message = check.message;
        if (!message.empty() && message.front() == ' ') message.erase(0, 1);
        return "the new value " + Quote(change.value, true) + " is refused: " + message;
    }
    return {};
}

}  // namespace

std::string ModColumnName(int i, int step) {
    const CsvRow header = CsvHeader(i);
    return step >= 0 && static_cast<std::size_t>(step) < header.size() ? header[static_cast<std::size_t>(step)]
                                                                         : std::string();
}

Mod MakeMod(const ValueGrid& current, const ValueGrid& original, std::string name) {
    Mod mod;
    mod.name = std::move(name);
    for (int i = 0; i < kSectionCount; ++i)
        for (int j = 0; j < Rows(i); ++j)
            for (int step = 1; step < Columns(i); ++step) {
                const std::string_view now = current.GetArrayValue(i, j, step);
                const std::string_view was = original.GetArrayValue(i, j, step);
                if (now == was) continue;
                mod.changes.push_back(
                    {i, j, step, std::string(current.GetArrayValue(i, j, 0)), std::string(was), std::string(now), 0});
            }
    return mod;
}

std::vector<std::string> RefusedChanges(const Mod& mod) {
    std::vector<std::string> refused;
    for (const ModChange& c : mod.changes) {
        const CellCheck check = CheckCell(c.i, c.j, c.step, c.value);
        if (check.verdict == CellCheck::Verdict::Refused)
            refused.push_back(DisplayName(c.i) + " / " + c.record + " / " + ModColumnName(c.i, c.step) + " holds " +
                              c.value + ", which the write refuses:" + check.message);
    }
    return refused;
}

std::string FormatMod(const Mod& mod) {
    std::string out;
    out += kMagic;
    out += ' ' + std::to_string(kModFormatVersion) + "\r\n";
    const auto field = [&](const char* key, const std::string& text, bool always) {
        if (text.empty() && !always) return;
        out += key;
        out += ' ';
        AppendQuoted(out, text, false);
        out += "\r\n";
    };
    field("name", mod.name, true);
    field("author", mod.author, false);
    field("description", mod.description, false);
    out += "\r\n";
    for (const ModChange& c : mod.changes) {
        AppendQuoted(out, DisplayName(c.i), false);
        out += " [" + Header(c.i) + "] row " + std::to_string(c.j) + ' ';
        AppendQuoted(out, c.record, true);
        out += " column " + std::to_string(c.step) + ' ';
        AppendQuoted(out, ModColumnName(c.i, c.step), false);
        out += " from ";
        AppendQuoted(out, c.original, true);
        out += " to ";
        AppendQuoted(out, c.value, true);
        out += "\r\n";
    }
    return out;
}

bool WriteModFile(const std::filesystem::path& path, const std::filesystem::path& gameFolder, const Mod& mod,
                  ErrorSink& errors) {
    if (IsGameFileOrBackup(gameFolder, path)) {
        errors.Report(GameFileTargetRefusal(path));
        return false;
    }
    if (CreateFileContents(path, FormatMod(mod))) return true;
    errors.Report("Error writing " + PathText(path));
    return false;
}

ModRead ReadMod(std::string_view text) {
    ModRead read;
    const auto problem = [&](int line, const std::string& what) {
        read.problems.push_back("line " + std::to_string(line) + ": " + what);
    };
    const std::size_t invalid = FindInvalidUtf8(text);
    if (invalid != std::string_view::npos) {
        problem(1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(invalid), '\n')),
                "not UTF-8 text");
        return read;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    bool versionSeen = false;
    std::map<std::string, int> headerLines;  // name, author, description: the line each was given on
    std::map<int, int> cellLines;            // cell index: the line that changes it
    int number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;

        LineReader in(line);
        if (!versionSeen) {
            int version = 0;
            if (!in.Word(kMagic) || !in.Number(&version) || !in.AtEnd()) {
                problem(number, "not a mod file: its first line must be \"" + std::string(kMagic) + " " +
                                    std::to_string(kModFormatVersion) + "\"");
                return read;
            }
            if (version != kModFormatVersion) {
                problem(number, "mod format " + std::to_string(version) + " is not one this editor reads (it reads " +
                                    std::to_string(kModFormatVersion) + ")");
                return read;
            }
            versionSeen = true;
            continue;
        }
        bool isHeader = false;
        for (const auto& [key, into] : {std::pair<const char*, std::string*>{"name", &read.mod.name},
                                        {"author", &read.mod.author},
                                        {"description", &read.mod.description}}) {
            LineReader keyed(line);
            std::string value, outside;
            if (!keyed.Word(key)) continue;
            isHeader = true;
            if (!keyed.Quoted(&value, false, &outside) || !keyed.AtEnd() ||
                FindInvalidUtf8(value) != std::string::npos) {
                problem(number, std::string("unreadable; it reads ") + key + " \"TEXT\"");
            } else if (const auto seen = headerLines.find(key); seen != headerLines.end()) {
                problem(number, std::string("a second ") + key + " (the first is on line " +
                                    std::to_string(seen->second) + ")");
            } else {
                headerLines[key] = number;
                *into = std::move(value);
            }
            break;
        }
        if (isHeader) continue;

        ModChange change;
        change.line = number;
        if (std::string what = ReadChange(line, change); !what.empty()) {
            problem(number, what);
            continue;
        }
        const auto [seen, fresh] = cellLines.emplace(CellIndex(change.i, change.j, change.step), number);
        if (!fresh) {
            problem(number, "changes the same value as line " + std::to_string(seen->second));
            continue;
        }
        const CellCheck check = CheckCell(change.i, change.j, change.step, change.value);
        if (check.verdict == CellCheck::Verdict::Warning) {
            std::string how = check.message;
            if (!how.empty()) how[0] = 'w';
            read.notes.push_back("line " + std::to_string(number) + ": the new value " + Quote(change.value, true) +
                                 " is " + how);
        }
        read.mod.changes.push_back(std::move(change));
    }
    if (!versionSeen) read.problems.push_back("not a mod file: it is empty");
    else if (headerLines.count("name") == 0) read.problems.push_back("the mod has no name line");
    return read;
}

}  // namespace quorvane
