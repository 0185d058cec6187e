#include "gui/base_mark.h"

#include <QLineEdit>
#include <QToolButton>

#include "gui/document.h"
#include "gui/qt_text.h"

namespace quorvane::gui {

namespace {

void Follow(Document& doc, QLineEdit* field, QToolButton* mark, int i, int j, int s) {
    const std::string base(doc.Base(i, j, s));
    // As the field would store it: whole while untouched, cut where typed.
    const bool differs = FromQ(field->text()) != base && FromField(field->text()) != base;
    if (differs) {
        const QString text = ToQ(base);
        mark->setToolTip(QStringLiteral("Changed since the last load or extraction, which gave \"%1\". "
                                        "Press to put it back.")
                             .arg(text));
    }
    mark->setVisible(differs);
}

}  // namespace

QToolButton* NewBaseMark(Document& doc, QLineEdit* field, int i, int j, int s, QWidget* parent) {
    auto* mark = new QToolButton(parent);
    mark->setObjectName(field->objectName() + QStringLiteral("Base"));
    mark->setText(QStringLiteral("\u21ba"));
    mark->setAccessibleName(QStringLiteral("Revert to game value"));
    mark->setAutoRaise(true);
    mark->setFocusPolicy(Qt::NoFocus);
    mark->setVisible(false);
    QObject::connect(mark, &QToolButton::clicked, field, [&doc, field, i, j, s] {
        field->setText(ToQ(doc.Base(i, j, s)));
        field->setCursorPosition(0);
    });
    QObject::connect(field, &QLineEdit::textChanged, mark, [&doc, field, mark, i, j, s] { Follow(doc, field, mark, i, j, s); });
    QObject::connect(&doc, &Document::gridReset, mark, [&doc, field, mark, i, j, s] { Follow(doc, field, mark, i, j, s); });
    Follow(doc, field, mark, i, j, s);
    return mark;
}

}  // namespace quorvane::gui
