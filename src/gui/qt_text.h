// Where 8-bit text meets QString: the only conversions the desktop program
// makes, one pair for game and rules text, one pair for paths.
#pragma once

#include <QFile>
#include <QString>
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
// Texts read back from dialog fields are cut to 254 characters, from list
// cells to 255.
inline std::string FromField(const QString& s) { return FromQ(s.left(254)); }
inline std::string FromCell(const QString& s) { return FromQ(s.left(255)); }

// Paths are spelled as the file system spells names (UTF-8 on Linux and
// macOS, the ANSI code page on Windows), so a folder such as "Jürgen" or
// "Дмитрий" opens as typed. They are never game text.
inline std::string PathFromQ(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}
inline QString PathToQ(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace quorvane::gui
