#include "io/path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quorvane {

#ifdef _WIN32

// The library's own narrow conversion follows the C runtime's locale (and
// throws on bytes it cannot convert), which is not the code page the command
// line and the C runtime's fopen use: convert with the ANSI code page
// explicitly instead.
std::filesystem::path PathFromText(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) return std::filesystem::path(text);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), wide);
    return std::filesystem::path(out);
}

std::string PathText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

#else

std::filesystem::path PathFromText(const std::string& text) { return std::filesystem::path(text); }

std::string PathText(const std::filesystem::path& path) { return path.native(); }

#endif

}  // namespace quorvane
