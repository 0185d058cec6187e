#include "rules/format.h"

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

namespace {

char CleanChar(char c) { return static_cast<unsigned char>(c) < 0x20 ? ' ' : c == '"' ? '\'' : c; }

void CleanInPlace(char* begin, char* end) {
    for (char* c = begin; c != end; ++c) *c = CleanChar(*c);
}

}  // namespace

bool CleansTo(std::string_view name, std::string_view clean) {
    if (name.size() != clean.size()) return false;
    for (std::size_t k = 0; k < name.size(); ++k)
        if (CleanChar(name[k]) != clean[k]) return false;
    return true;
}

std::string CleanName(std::string_view name) {
    std::string clean(name);
    CleanInPlace(clean.data(), clean.data() + clean.size());
    return clean;
}

void AppendNameField(std::string& out, std::string_view name) {
    out += '"';
    const std::size_t at = out.size();
    out += name;
    CleanInPlace(out.data() + at, out.data() + out.size());
    out += '"';
    if (name.size() < static_cast<std::size_t>(kNameFieldWidth))
        out.append(static_cast<std::size_t>(kNameFieldWidth) - name.size(), ' ');
}

void AppendValueField(std::string& out, std::string_view text, int width) {
    if (text.size() < static_cast<std::size_t>(width)) out.append(static_cast<std::size_t>(width) - text.size(), ' ');
    out += text;
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

Problem LineProblem(ProblemCode code, int line, int i, int j, int step, std::string message) {
    Problem p;
    p.code = code;
    p.line = line;
    p.section = i;
    p.row = j;
    p.column = step;
    p.header = Header(i);
    p.text = std::move(message);
    return p;
}

}  // namespace quorvane
