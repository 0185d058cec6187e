#include "tables/edit_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "gui/base_mark.h"
#include "gui/check_marks.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "tables/help_tab.h"
#include "tables/help_texts.h"
#include "tables/table_dialog.h"
#include "tables/value_aids.h"

namespace quorvane::gui {

namespace {

constexpr int kGridPerLine = 20;
constexpr int kGridUnitWidth = 38;
// The width at which a flag's meaning wraps under its value field.
constexpr int kFlagLabelWidth = 170;
// What a dialog leaves free of its screen's width and height.
constexpr int kScreenMargin = 40;

// What helps with the value of column c beside its field: a flag byte's
// eight bits as check boxes (labelled from its help tab), or the values its
// help tab lists as a drop-down; nullptr for neither.
QWidget* NewValueAid(QLineEdit* value, const HelpLink* link, int section, int row, int c, QWidget* parent) {
    const HelpTabText* tab = link && link->helpTitle ? FindHelpTab(link->helpTitle) : nullptr;
    if (GetFieldKind(section, row, c) == FieldKind::BitFlags) {
        static const std::vector<std::string> kNone;
        return NewFlagBoxes(value, tab && tab->shape == HelpShape::FlagByte ? tab->flags : kNone, kFlagLabelWidth,
                            parent);
    }
    if (!tab) return nullptr;
    const std::vector<HelpCode> codes = HelpCodes(tab->title, section);
    if (codes.empty()) return nullptr;
    return NewCodeChooser(value, section, row, c, codes, parent);
}

// A scroll area as large as what it shows, up to what the screen leaves for
// it: the dialog opens whole where it fits and scrolls where it does not.
class FittingScrollArea : public QScrollArea {
public:
    explicit FittingScrollArea(QWidget* parent) : QScrollArea(parent) {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override {
        QSize hint = widget() ? widget()->sizeHint() : QSize();
        hint += QSize(2 * frameWidth(), 2 * frameWidth());
        if (const QScreen* s = screen()) {
            // Room for the dialog's title bar, margins and buttons.
            const QSize room = s->availableGeometry().size() - QSize(kScreenMargin, kScreenMargin + 4 * kGridUnitWidth);
            if (hint.height() > room.height())
                hint = QSize(hint.width() + verticalScrollBar()->sizeHint().width(), room.height());
            hint = hint.boundedTo(room.expandedTo(QSize(kGridUnitWidth, kGridUnitWidth)));
        }
        return hint;
    }
};

}  // namespace

FieldPlace EditFieldPlace(EditLayout layout, int columns, int c) {
    FieldPlace place{c / 5, (c % 5) * 4, 4};
    if (layout == EditLayout::LastTwoAtEnds && columns >= 2) {
        const int first = columns - 2;
        if (c == first) place = {first / 5, 0, 4};
        if (c == first + 1) place = {first / 5, 16, 4};
    } else if (layout == EditLayout::LastLineOfFour && columns % 5 == 4) {
        const int start = columns - 4;
        if (c >= start) place = {start / 5, (c - start) * 5, 5};
    }
    return place;
}

EditDialog::EditDialog(GuiContext& ctx, const EditKind& kind, int section, int row)
    : ClosingDialog(nullptr), ctx_(ctx), kind_(kind), section_(section), row_(row) {
    setObjectName(kind.className);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kind.caption));

    const int columns = Columns(section);
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (int g = 0; g < kGridPerLine; ++g) {
        grid->setColumnMinimumWidth(g, kGridUnitWidth);
        grid->setColumnStretch(g, 1);
    }

    for (int c = 0; c < columns; ++c) {
        QWidget* label = nullptr;
        const HelpLink* link = FindHelpLink(kind, c);
        if (link) {
            // Enter on a focused help button opens its tab; elsewhere in the
            // dialog Enter saves.
            auto* button = new QPushButton(this);
            button->setObjectName(QStringLiteral("help%1").arg(c));
            const HelpLink copy = *link;
            connect(button, &QPushButton::clicked, this, [this, copy] { OpenHelp(copy); });
            label = button;
        } else {
            auto* field = new QLineEdit(this);
            field->setObjectName(QStringLiteral("label%1").arg(c));
            field->setReadOnly(true);
            field->setFocusPolicy(Qt::NoFocus);
            field->setFrame(false);
            label = field;
        }
        auto* value = new QLineEdit(this);
        value->setObjectName(QStringLiteral("value%1").arg(c));
        QToolButton* mark = nullptr;
        QWidget* aid = nullptr;
        if (c == 0) {
            value->setReadOnly(true);  // the record's name
        } else {
            CheckFieldAsTyped(value, section, row, c);
            mark = NewBaseMark(ctx_.document, value, section, row, c, this);
            aid = NewValueAid(value, link, section, row, c, this);
        }

        const FieldPlace place = EditFieldPlace(kind.layout, columns, c);
        grid->addWidget(label, place.line * 2, place.column, 1, place.span);
        auto* valueLine = new QHBoxLayout;
        valueLine->setSpacing(2);
        valueLine->addWidget(value, 1);
        if (mark) valueLine->addWidget(mark);
        // The check boxes or the drop-down under the field; a line holding
        // them grows, and every field of it stays at its top.
        auto* cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addLayout(valueLine);
        if (aid) cell->addWidget(aid);
        grid->addLayout(cell, place.line * 2 + 1, place.column, 1, place.span, Qt::AlignTop);
        if (place.line > 0) grid->setRowMinimumHeight(place.line * 2, label->sizeHint().height() + 8);
        labels_.push_back(label);
        values_.push_back(value);
        marks_.push_back(mark);
        shown_.push_back(QString());
    }
    // The fields scroll where the screen is too small for them all (the unit
    // editor with its flags); the buttons stay in view under them.
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("fields"));
    body->setLayout(grid);
    auto* scroll = new FittingScrollArea(this);
    scroll->setWidget(body);
    outer->addWidget(scroll, 1);
    outer->addSpacing(10);

    // Enter anywhere but on another button saves.
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QString::fromLatin1(kSaveChangesText), this);
    save->setObjectName(QStringLiteral("save"));
    save->setDefault(true);
    auto* discard = new QPushButton(QString::fromLatin1(kind.discardText), this);
    discard->setObjectName(QStringLiteral("discard"));
    connect(save, &QPushButton::clicked, this, &EditDialog::SaveAndClose);
    connect(discard, &QPushButton::clicked, this, &QWidget::close);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(discard);
    outer->addLayout(buttons);

    ctx_.document.AddUndoActions(this);
    connect(&ctx_.document, &Document::cellsChanged, this, &EditDialog::FollowRows);
    TrackPlacement(ctx_.settings, QString::fromLatin1(kind.className), this);
    // The keyboard starts in the first value that can be typed into.
    if (columns > 1) values_[1]->setFocus();
}

void EditDialog::SetLabel(int c, const QString& text) {
    QWidget* label = LabelWidget(c);
    if (auto* button = qobject_cast<QPushButton*>(label))
        button->setText(text);
    else if (auto* field = qobject_cast<QLineEdit*>(label)) {
        field->setText(text);
        field->setCursorPosition(0);  // a name too long for its place shows its start
        field->setToolTip(text);
    }
}

void EditDialog::SetValue(int c, const QString& text) {
    if (QLineEdit* field = ValueField(c)) {
        field->setText(text);
        field->setCursorPosition(0);
        shown_[c] = field->text();
    }
    // The caption names the record in full, however narrow its field.
    if (c == 0)
        setWindowTitle(text.isEmpty() ? QString::fromLatin1(kind_.caption)
                                      : QString::fromLatin1(kind_.caption) + QStringLiteral(" - ") + text);
}

QToolButton* EditDialog::BaseMark(int c) const { return c >= 0 && c < marks_.size() ? marks_[c] : nullptr; }

void EditDialog::FollowRows(int section, int first, int last) {
    if (section != section_ || row_ < first || row_ > last) return;
    for (int c = 0; c < values_.size(); ++c)
        if (values_[c]->text() == shown_[c]) SetValue(c, ToQ(ctx_.document.Shown(section_, row_, c)));
}

void EditDialog::Refill() {
    for (int c = 0; c < values_.size(); ++c) SetValue(c, ToQ(ctx_.document.Shown(section_, row_, c)));
}

void EditDialog::closeEvent(QCloseEvent* event) {
    closed_ = true;
    ClosingDialog::closeEvent(event);
}

bool EditDialog::IsModified() const {
    for (int c = 0; c < values_.size(); ++c)
        if (FieldText(c) != ctx_.document.Shown(section_, row_, c)) return true;
    return false;
}

QLineEdit* EditDialog::ValueField(int c) const {
    return c >= 0 && c < values_.size() ? values_[c] : nullptr;
}

QWidget* EditDialog::LabelWidget(int c) const {
    return c >= 0 && c < labels_.size() ? labels_[c] : nullptr;
}

std::string EditDialog::FieldText(int c) const { return FromField(values_[c]->text(), shown_[c]); }

void EditDialog::AddTo(EditBuilder& step) const {
    for (int c = 0; c < values_.size(); ++c) step.Show(section_, row_, c, FieldText(c));
}

void EditDialog::SaveAndClose() {
    EditBuilder step(ctx_.document, QStringLiteral("Save Row"));
    AddTo(step);
    step.Push();
    close();
}

void EditDialog::OpenHelp(const HelpLink& link) {
    // Beside this dialog, each further one a step lower.
    if (link.helpTitle)
        OpenHelpTab(link.helpTitle, this, opened_++);
    else
        OpenSpellIdList(ctx_, this, opened_++);
}

}  // namespace quorvane::gui
