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
    for (char c : v)
        if (c != '0' && c != '1') return false;
    return true;
}

bool LineSource::GetLine(std::string& line) {
    if (ended_ || failed_ || pos_ >= data_.size()) {
        line.clear();
        ended_ = failed_ = true;
        return false;
    }
    const std::size_t nl = data_.find('\n', pos_);
    if (nl == std::string::npos) {
        line.assign(data_, pos_, std::string::npos);
        pos_ = data_.size();
        ended_ = true;
        return true;
    }
    line.assign(data_, pos_, nl - pos_);
    pos_ = nl + 1;
    if (textMode_ && !line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::string LineSource::PeekLine() const {
    if (ended_ || failed_ || pos_ >= data_.size()) return {};
    const std::size_t nl = data_.find('\n', pos_);
    std::string line = data_.substr(pos_, nl == std::string::npos ? std::string::npos : nl - pos_);
    if (nl != std::string::npos && textMode_ && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

bool LineSource::NextLineOrEmpty(std::string& line) {
    if (GetLine(line)) return true;
    line.clear();
    return false;
}

}  // namespace quorvane
