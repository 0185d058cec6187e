// What every window of the desktop program is handed: the session (grid,
// paths, flags, log, sinks), the settings store, the open-window registry
// and the document (the grid as the windows see it, with its undo history).
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "gui/qt_text.h"
#include "session/session.h"

class QSettings;

namespace quorvane::gui {

class Document;

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
    // Records `w` as the open window of its kind, its object name.
    void Register(QWidget* w) { Set(w->objectName(), w); }
    // A window that closes gives up its entry, so that another of its kind
    // can open at once (before it is deleted); an entry held by another
    // window of the kind stays.
    void Forget(const QWidget* w) {
        if (Find(w->objectName()) == w) Clear(w->objectName());
    }

private:
    QHash<QString, QPointer<QWidget>> windows_;
};

struct GuiContext {
    Session& session;
    QSettings& settings;
    WindowRegistry& registry;
    Document& document;
};

}  // namespace quorvane::gui
