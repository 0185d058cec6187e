#include "exchange/csv.h"

#include <utility>

namespace quorvane {

namespace {

bool NeedsQuotes(std::string_view field) {
    if (field.empty()) return false;
    return field.find_first_of(",\"\r\n") != std::string_view::npos || field.front() == ' ' || field.back() == ' ';
}

// Number of bytes of the UTF-8 sequence that starts with lead, 0 for a byte
// that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

void AppendCsvRow(std::string& out, const CsvRow& fields) {
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) out += ',';
        const std::string& field = fields[k];
        if (!NeedsQuotes(field)) {
            out += field;
            continue;
        }
        out += '"';
        for (char c : field) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

bool ParseCsv(std::string_view text, std::vector<CsvRow>* rows, std::string* problem, std::vector<int>* lines) {
    rows->clear();
    std::vector<int> starts;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int line = 1;
    std::size_t k = 0;
    const std::size_t n = text.size();
    // Skips the line end at k (CR LF, LF or CR) and counts it.
    const auto skipLineEnd = [&] {
        if (text[k] == '\r' && k + 1 < n && text[k + 1] == '\n') ++k;
        ++k;
        ++line;
    };
    while (k < n) {
        CsvRow row;
        starts.push_back(line);
        for (;;) {
            std::string field;
            if (k < n && text[k] == '"') {
                const int opened = line;
                ++k;
                for (;;) {
                    if (k >= n) {
                        *problem = "line " + std::to_string(opened) + ": a quoted field is not closed.";
                        return false;
                    }
                    const char c = text[k++];
                    if (c == '"') {
                        if (k < n && text[k] == '"') {
                            field += '"';
                            ++k;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n' || (c == '\r' && (k >= n || text[k] != '\n'))) ++line;
                    field += c;
                }
                if (k < n && text[k] != ',' && text[k] != '\r' && text[k] != '\n') {
                    *problem = "line " + std::to_string(line) + ": text follows the closing quote of a field.";
                    return false;
                }
            } else {
                while (k < n && text[k] != ',' && text[k] != '\r' && text[k] != '\n') {
                    if (text[k] == '"') {
                        *problem = "line " + std::to_string(line) + ": a quote inside a field that is not quoted.";
                        return false;
                    }
                    field += text[k++];
                }
            }
            row.push_back(std::move(field));
            if (k < n && text[k] == ',') {
                ++k;
                continue;
            }
            if (k < n) skipLineEnd();
            break;
        }
        rows->push_back(std::move(row));
    }
    // Empty lines at the end are not records.
    while (!rows->empty() && rows->back().size() == 1 && rows->back()[0].empty()) rows->pop_back();
    starts.resize(rows->size());
    if (lines) *lines = std::move(starts);
    return true;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::size_t FindInvalidUtf8(std::string_view text) {
    std::size_t k = 0;
    while (k < text.size()) {
        const auto lead = static_cast<unsigned char>(text[k]);
        const std::size_t length = SequenceLength(lead);
        if (length == 0 || k + length > text.size()) return k;
        for (std::size_t m = 1; m < length; ++m)
            if ((static_cast<unsigned char>(text[k + m]) & 0xC0) != 0x80) return k;
        if (length >= 3) {
            const auto second = static_cast<unsigned char>(text[k + 1]);
            // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
                return k;
        }
        k += length;
    }
    return std::string_view::npos;
}

bool Utf8ToLatin1(std::string_view utf8, std::string* latin1, std::string* outside) {
    latin1->clear();
    latin1->reserve(utf8.size());
    std::size_t k = 0;
    while (k < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[k]);
        std::size_t length = SequenceLength(lead);
        if (length == 0) length = 1;
        if (lead < 0x80) {
            *latin1 += utf8[k];
        } else if (length == 2 && lead <= 0xC3 && k + 1 < utf8.size()) {
            *latin1 += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[k + 1]) & 0x3F));
        } else {
            *outside = std::string(utf8.substr(k, length));
            return false;
        }
        k += length;
    }
    return true;
}

}  // namespace quorvane
