// What every window of the desktop program is handed: the session (grid,
// paths, flags, log, sinks), the settings store and the open-window registry.
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "gui/qt_text.h"
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

}  // namespace quorvane::gui
