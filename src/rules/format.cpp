#include "rules/format.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "catalogue/catalogue.h"

namespace quorvane {

void AppendVersionLine(std::string& out) {
    out += '"';
    out += Header(kHeaderVersion);
    out += '"';
    out += kLineEnd;
}

void AppendDirective(std::string& out, std::string_view text) {
    out += '[';
    out += text;
    out += ']';
    out += kLineEnd;
}

void AppendNameField(std::string& out, std::string_view name) {
    out += '"';
    out += name;
    out += '"';
    if (name.size() < static_cast<std::size_t>(kNameFieldWidth))
        out.append(static_cast<std::size_t>(kNameFieldWidth) - name.size(), ' ');
}

void AppendValueField(std::string& out, std::string_view text, int width) {
    if (text.size() < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out += text;
}

bool IsFlagText(std::string_view v) {
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    if (v.size() != 8) return false;
    if constexpr (std::endian::native == std::endian::little) {
        // '0' and '1' differ from 0x30 in the lowest bit alone.
        std::uint64_t x;
        std::memcpy(&x, v.data(), 8);
        return (x & ~0x0101010101010101ULL) == 0x3030303030303030ULL;
    }
    for (char c : v)
        if (c != '0' && c != '1') return false;
    return true;
}

std::string_view LineSource::LineAt(std::size_t* next) const {
    const std::string_view rest = data_.substr(pos_);
    const std::size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) {
        *next = data_.size();
        return rest;
    }
    *next = pos_ + nl + 1;
    std::string_view line = rest.substr(0, nl);
    if (textMode_ && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool LineSource::GetLine(std::string_view& line) {
    if (ended_ || failed_ || pos_ >= data_.size()) {
        line = {};
        ended_ = failed_ = true;
        return false;
    }
    std::size_t next = 0;
    line = LineAt(&next);
    if (next == data_.size() && (data_.empty() || data_.back() != '\n')) ended_ = true;
    pos_ = next;
    return true;
}

std::string_view LineSource::PeekLine() const {
    if (ended_ || failed_ || pos_ >= data_.size()) return {};
    std::size_t next = 0;
    return LineAt(&next);
}

}  // namespace quorvane
