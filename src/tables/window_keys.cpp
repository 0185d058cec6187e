#include "tables/window_keys.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace quorvane::gui {

namespace {

// An action of `window`, not shown anywhere, that `keys` trigger while the
// window (or any of its children) has the focus.
QAction* AddKeyAction(QWidget* window, const QKeySequence& keys, const QString& name) {
    auto* action = new QAction(window);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

}  // namespace

void AddCloseTabKey(QWidget* window, QAbstractButton* closeTab) {
    QAction* action = AddKeyAction(window, QKeySequence(Qt::CTRL | Qt::Key_W), QStringLiteral("closeTabKey"));
    QObject::connect(action, &QAction::triggered, closeTab, [closeTab] {
        if (closeTab->isEnabled()) closeTab->click();
    });
}

void AddFindKey(QWidget* window, QLineEdit* filter) {
    QAction* action = AddKeyAction(window, QKeySequence(Qt::CTRL | Qt::Key_F), QStringLiteral("findKey"));
    QObject::connect(action, &QAction::triggered, filter, [filter] {
        filter->setFocus(Qt::ShortcutFocusReason);
        filter->selectAll();
    });
}

bool IsMenuKey(const QEvent* event) {
    if (event->type() == QEvent::ContextMenu)
        return static_cast<const QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

}  // namespace quorvane::gui
