#include "tables/name_filter.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

#include "tables/list_binding.h"

namespace quorvane::gui {

namespace {

// Escape in a field with text clears it instead of reaching the dialog, which
// would hide or close the window; in an empty field it does reach it.
class EscapeClears : public QObject {
public:
    explicit EscapeClears(QLineEdit* field) : QObject(field), field_(field) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier && !field_->text().isEmpty()) {
            event->accept();
            if (event->type() == QEvent::KeyPress) field_->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* field_;
};

}  // namespace

QLineEdit* NewNameFilter(QTableWidget* list, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("filter"));
    field->setPlaceholderText(QString::fromLatin1(kFilterPlaceholder));
    field->setAccessibleName(QString::fromLatin1(kFilterPlaceholder));
    field->setClearButtonEnabled(true);
    field->installEventFilter(new EscapeClears(field));
    QObject::connect(field, &QLineEdit::textChanged, list, [list](const QString& text) { ApplyNameFilter(list, text); });
    return field;
}

void ApplyNameFilter(QTableWidget* list, const QString& text) {
    // The names are Latin-1 texts in a QString, whose case folding covers
    // the accented letters as well.
    for (int r = 0; r < list->rowCount(); ++r) {
        const bool hide = !text.isEmpty() && !CellText(list, r, 0).contains(text, Qt::CaseInsensitive);
        list->setRowHidden(r, hide);
    }
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    for (const QModelIndex& index : selected)
        if (list->isRowHidden(index.row())) list->clearSelection();
}

}  // namespace quorvane::gui
