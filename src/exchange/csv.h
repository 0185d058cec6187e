// Comma-separated text as spreadsheets read and write it (RFC 4180), and the
// conversion between the rules file's 8-bit Latin-1 texts and UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

using CsvRow = std::vector<std::string>;

// Appends one record: fields separated by commas, each quoted (with its quotes
// doubled) when it holds a comma, a quote, a CR or LF, or begins or ends with
// a blank (which spreadsheets would otherwise drop); then CR LF.
void AppendCsvRow(std::string& out, const CsvRow& fields);

// Splits comma-separated text into records. Lines may end with CR LF, LF or
// a lone CR; a UTF-8 byte order mark at the start and empty lines at the end
// are skipped. Quoted fields may hold commas, doubled quotes and line ends.
// On malformed text returns false with problem set (naming the line) and
// rows holding what was read before it. lines, when given, receives the
// line (from 1) each record starts on.
bool ParseCsv(std::string_view text, std::vector<CsvRow>* rows, std::string* problem,
              std::vector<int>* lines = nullptr);

// Each byte taken as a Latin-1 character, written as UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

// The offset of the first byte that does not belong to a well-formed UTF-8
// sequence, or npos when the whole text is UTF-8.
std::size_t FindInvalidUtf8(std::string_view text);

// UTF-8 text back to Latin-1 bytes. The text must be well-formed UTF-8. False
// when a character lies beyond U+00FF; *outside then holds that character's
// UTF-8 bytes.
bool Utf8ToLatin1(std::string_view utf8, std::string* latin1, std::string* outside);

}  // namespace quorvane
