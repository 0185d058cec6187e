#include "tables/name_filter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "gui/section_model.h"

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

QLineEdit* NewNameFilter(RecordFilter* proxy, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("filter"));
    field->setPlaceholderText(QString::fromLatin1(kFilterPlaceholder));
    field->setAccessibleName(QString::fromLatin1(kFilterPlaceholder));
    field->setClearButtonEnabled(true);
    field->installEventFilter(new EscapeClears(field));
    QObject::connect(field, &QLineEdit::textChanged, proxy, &RecordFilter::SetNameFilter);
    return field;
}

}  // namespace quorvane::gui
