// Where the core meets QString: the only conversions the desktop program
// makes, one pair for 8-bit game and rules text, one pair for paths.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace quorvane::gui {

// Game and rules data are 8-bit texts; every byte survives the trip through
// a widget as one Latin-1 character.
inline QString ToQ(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQ(const QString& s) {
    const QByteArray b = s.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
// A dialog field holds at most 254 characters of what the user types. A
// field still holding the text it was opened with gives it back whole, so
// that opening and storing without an edit never changes a value.
inline std::string FromField(const QString& s) { return FromQ(s.left(254)); }
inline std::string FromField(const QString& s, const QString& opened) {
    return s == opened ? FromQ(s) : FromField(s);
}
// List cells are never typed into: their texts come from the grid and from
// the dialogs' fields, and are read back whole.
inline std::string FromCell(const QString& s) { return FromQ(s); }

// Paths are never game text: they go to and from the file system's own
// spelling of names (UTF-16 on Windows, the bytes QFile::encodeName gives
// elsewhere), so a folder such as "Jürgen" or "Дмитрий" opens as typed.
inline std::filesystem::path PathFromQ(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    const QByteArray name = QFile::encodeName(path);
    return std::filesystem::path(std::string(name.constData(), static_cast<std::size_t>(name.size())));
#endif
}
inline QString PathToQ(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    const std::string& name = path.native();
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
#endif
}

}  // namespace quorvane::gui
