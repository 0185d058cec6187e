// What every window of the desktop program is handed: the session (grid,
// paths, flags, log, sinks), the settings store and the open-window registry.
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "session/session.h"

class QSettings;

namespace quorvane::gui {

// One reference per window kind (keyed by class name, "CSpell", "CHealing",
// "CSettings", "CSection", ...), empty while no window of that kind is open.
class WindowRegistry {
public:
    QWidget* Find(const QString& kind) const {
        auto it = windows_.find(kind);
        return it == windows_.end() ? nullptr : it->data();
    }
    void Set(const QString& kind, QWidget* w) { windows_[kind] = w; }
    void Clear(const QString& kind) { windows_.remove(kind); }

private:
    QHash<QString, QPointer<QWidget>> windows_;
};

struct GuiContext {
    Session& session;
    QSettings& settings;
    WindowRegistry& registry;
};

// Game and rules data are 8-bit texts; every byte survives the trip through
// a widget as one Latin-1 character.
inline QString ToQ(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQ(const QString& s) { const QByteArray b = s.toLatin1(); return std::string(b.constData(), static_cast<std::size_t>(b.size())); }
// Texts read back from dialog fields are cut to 254 characters, from list
// cells to 255.
inline std::string FromField(const QString& s) { return FromQ(s.left(254)); }
inline std::string FromCell(const QString& s) { return FromQ(s.left(255)); }

}  // namespace quorvane::gui
