#include "forms/constant_form.h"

#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "gui/base_mark.h"
#include "gui/check_marks.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "catalogue/catalogue.h"
#include "forms/form_table.h"

namespace quorvane::gui {

namespace {

constexpr int kFieldPadding = 18;     // frame and margins of a line edit
constexpr int kMinNameWidth = 120;
constexpr int kMaxNameWidth = 480;

// Width that shows every text of `texts` whole in a line edit of `w`'s font,
// within sensible bounds (a name may be hundreds of characters long).
int FieldWidthFor(const QWidget* w, const std::vector<QString>& texts, int minimum, int maximum) {
    const QFontMetrics fm(w->font());
    int width = minimum;
    for (const QString& t : texts) width = std::max(width, fm.horizontalAdvance(t) + kFieldPadding);
    return std::min(width, maximum);
}

// The generic constant-group form. Its fields are named so tests and
// scripts can find them: "name0", "name1", ... and "value0", "value1", ...
// in the order the values are stored (rows in section order; for a form over
// the columns of one row, columns 1, 2, ...).
class ConstantForm : public QDialog {
public:
    ConstantForm(GuiContext& ctx, const FormSpec& spec) : QDialog(nullptr), ctx_(ctx), spec_(spec) {
        setObjectName(QString::fromLatin1(spec.className));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QString::fromLatin1(spec.templateCaption));
        ctx_.session.log.Line(spec_.className, "::OnInitDialog section ", spec_.section);

        auto* outer = new QVBoxLayout(this);
        for (std::size_t k = 0; k < spec.lines.size(); ++k) {
            auto* line = new QLabel(QString::fromLatin1(spec.lines[k]), this);
            line->setObjectName(QStringLiteral("line%1").arg(k));
            outer->addWidget(line);
        }
        if (spec.shape == FormShape::ColumnsOfOneRow)
            BuildColumnsOfOneRow(outer);
        else
            BuildPairs(outer);

        // Save first, as in the edit dialogs; Enter anywhere but on the
        // discard button saves.
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        auto* save = new QPushButton(QStringLiteral("Save Changes And Close Tab"), this);
        auto* discard = new QPushButton(QStringLiteral("Discard Changes and Close Tab"), this);
        save->setObjectName(QStringLiteral("save"));
        discard->setObjectName(QStringLiteral("discard"));
        save->setDefault(true);
        buttons->addWidget(save);
        buttons->addWidget(discard);
        outer->addSpacing(6);
        outer->addLayout(buttons);
        connect(discard, &QPushButton::clicked, this, &QDialog::reject);
        connect(save, &QPushButton::clicked, this, [this] { SaveAndClose(); });

        if (!values_.empty()) values_.front()->setFocus();
        ctx_.document.AddUndoActions(this);
        // Fields not typed into follow the grid (an undone or redone step).
        connect(&ctx_.document, &Document::cellsChanged, this, [this](int section) {
            if (section == spec_.section) Follow(false);
        });
        TrackPlacement(ctx_.settings, objectName(), this);
    }

    int section() const { return spec_.section; }

    bool IsModified() const {
        for (std::size_t k = 0; k < values_.size(); ++k)
            if (FieldText(k) != FromQ(GridText(k))) return true;
        return false;
    }

    // The destroyed-items value must read as 25 or 50; any other form takes
    // any text.
    bool Accepts() {
        if (!spec_.only25or50) return true;
        const std::string text = FieldText(0);
        if (IsDestroyedItemsValue(text)) return true;
        ctx_.session.log.Line(spec_.className, "::OnSave refused ", text);
        ctx_.session.Report(kOnly25Or50Refusal);
        return false;
    }

    void AddTo(EditBuilder& step) const {
        for (std::size_t k = 0; k < values_.size(); ++k)
            step.Store(spec_.section, cells_[k].first, cells_[k].second, FieldText(k));
    }

    // Fills every field from the grid; `all` drops what was typed, else only
    // the fields not typed into follow.
    void Follow(bool all) {
        const int s = spec_.section;
        for (std::size_t k = 0; k < names_.size(); ++k) {
            const int row = spec_.shape == FormShape::ColumnsOfOneRow ? 0 : static_cast<int>(k);
            names_[k]->setText(ToQ(ctx_.session.grid.GetArrayValue(s, row, 0)));
            names_[k]->setCursorPosition(0);
        }
        for (std::size_t k = 0; k < values_.size(); ++k) {
            if (!all && values_[k]->text() != shown_[k]) continue;
            values_[k]->setText(GridText(k));
            values_[k]->setCursorPosition(0);
            shown_[k] = values_[k]->text();
        }
    }

    // Every way of closing (the two buttons, Escape, the close box) ends
    // here; the form is deleted afterwards (WA_DeleteOnClose).
    void done(int result) override {
        ctx_.registry.Forget(this);
        ctx_.session.log.Line(spec_.className, result == Accepted ? "::OnSave closed" : "::OnDiscard closed");
        QDialog::done(result);
    }

private:
    QLineEdit* NameField(std::string_view text, int index) {
        auto* f = new QLineEdit(ToQ(text), this);
        f->setReadOnly(true);
        f->setFocusPolicy(Qt::ClickFocus);
        f->setCursorPosition(0);
        f->setObjectName(QStringLiteral("name%1").arg(index));
        names_.push_back(f);
        return f;
    }

    // What value field k stores: its text, cut to 254 characters where typed.
    std::string FieldText(std::size_t k) const { return FromField(values_[k]->text(), shown_[k]); }

    QString GridText(std::size_t k) const {
        return ToQ(ctx_.session.grid.GetArrayValue(spec_.section, cells_[k].first, cells_[k].second));
    }

    // The value field of cell (section, j, step), checked as it is typed,
    // with the mark shown while it differs from the last load or extraction.
    QLineEdit* ValueField(std::string_view text, int j, int step) {
        auto* f = new QLineEdit(ToQ(text), this);
        CheckFieldAsTyped(f, spec_.section, j, step);
        f->setCursorPosition(0);
        f->setObjectName(QStringLiteral("value%1").arg(values_.size()));
        values_.push_back(f);
        cells_.emplace_back(j, step);
        shown_.push_back(f->text());
        marks_.push_back(NewBaseMark(ctx_.document, f, spec_.section, j, step, this));
        return f;
    }

    int ValueWidth() const {
        // Wide enough for the reader's failure text.
        return FieldWidthFor(this, {QString::fromLatin1(kValueNotFound)}, 80, 200);
    }

    void BuildPairs(QVBoxLayout* outer) {
        const int s = spec_.section;
        const int rows = Rows(s);
        auto* columns = new QHBoxLayout;
        columns->setSpacing(18);
        const int valueWidth = ValueWidth();
        int first = 0;
        while (first < rows) {
            const int end = first < spec_.secondColumnFrom ? std::min(spec_.secondColumnFrom, rows) : rows;
            std::vector<QString> texts;
            for (int r = first; r < end; ++r) {
                texts.push_back(ToQ(RowLabel(s, r)));
                texts.push_back(ToQ(ctx_.session.grid.GetArrayValue(s, r, 0)));
            }
            const int nameWidth = FieldWidthFor(this, texts, kMinNameWidth, kMaxNameWidth);
            auto* grid = new QGridLayout;
            grid->setHorizontalSpacing(6);
            grid->setVerticalSpacing(8);
            for (int r = first; r < end; ++r) {
                QLineEdit* name = NameField(ctx_.session.grid.GetArrayValue(s, r, 0), r);
                QLineEdit* value = ValueField(ctx_.session.grid.GetArrayValue(s, r, 1), r, 1);
                name->setMinimumWidth(nameWidth);
                value->setFixedWidth(valueWidth);
                grid->addWidget(name, r - first, 0);
                grid->addWidget(value, r - first, 1);
                grid->addWidget(marks_.back(), r - first, 2);
            }
            grid->setRowStretch(end - first, 1);
            columns->addLayout(grid, 1);
            first = end;
        }
        outer->addLayout(columns);
    }

    void BuildColumnsOfOneRow(QVBoxLayout* outer) {
        const int s = spec_.section;
        QLineEdit* name = NameField(ctx_.session.grid.GetArrayValue(s, 0, 0), 0);
        const int perLine = std::max(1, spec_.perLine);
        const int valueWidth = ValueWidth();
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(4);
        for (std::size_t k = 0; k < spec_.columnLabels.size(); ++k) {
            const int step = static_cast<int>(k) + 1;
            const int line = static_cast<int>(k) / perLine;
            const int col = static_cast<int>(k) % perLine;
            auto* label = new QLabel(QString::fromLatin1(spec_.columnLabels[k]), this);
            label->setObjectName(QStringLiteral("label%1").arg(k));
            QLineEdit* value = ValueField(ctx_.session.grid.GetArrayValue(s, 0, step), 0, step);
            value->setFixedWidth(valueWidth);
            grid->addWidget(label, line * 2, col);
            auto* valueLine = new QHBoxLayout;
            valueLine->setSpacing(2);
            valueLine->addWidget(value);
            valueLine->addWidget(marks_.back());
            valueLine->addStretch(1);
            grid->addLayout(valueLine, line * 2 + 1, col);
        }
        name->setMinimumWidth(FieldWidthFor(this, {name->text(), ToQ(RowLabel(s, 0))}, kMinNameWidth,
                                            kMaxNameWidth));
        outer->addWidget(name);
        outer->addLayout(grid);
    }

    bool SaveAndClose() {
        if (!Accepts()) return false;
        // One step of the history; undone, the form comes back.
        EditBuilder step(ctx_.document, QStringLiteral("Save ") + windowTitle());
        AddTo(step);
        step.RevealOnUndo(spec_.section);
        step.Push();
        accept();
        return true;
    }

    GuiContext& ctx_;
    const FormSpec& spec_;
    std::vector<QLineEdit*> names_;
    std::vector<QLineEdit*> values_;
    std::vector<std::pair<int, int>> cells_;  // row and column of each value field
    std::vector<QString> shown_;              // what the program put into each value field
    std::vector<QToolButton*> marks_;
};

}  // namespace

QString ConstantFormClass(int section) {
    const FormSpec* spec = FindFormSpec(section);
    return spec ? QString::fromLatin1(spec->className) : QString();
}

int FormSection(const QWidget* form) {
    const auto* f = dynamic_cast<const ConstantForm*>(form);
    return f ? f->section() : -1;
}

bool FormIsModified(const QWidget* form) {
    const auto* f = dynamic_cast<const ConstantForm*>(form);
    return f && f->IsModified();
}

bool FormAccepts(QWidget* form) {
    auto* f = dynamic_cast<ConstantForm*>(form);
    return f && f->Accepts();
}

void AddFormTo(QWidget* form, EditBuilder& step) {
    if (const auto* f = dynamic_cast<const ConstantForm*>(form)) f->AddTo(step);
}

void CloseForm(QWidget* form) {
    if (auto* f = dynamic_cast<ConstantForm*>(form)) f->accept();
}

void RefillForm(QWidget* form) {
    if (auto* f = dynamic_cast<ConstantForm*>(form)) f->Follow(true);
}

QDialog* CreateConstantForm(GuiContext& ctx, int section) {
    const FormSpec* spec = FindFormSpec(section);
    if (!spec) return nullptr;
    return new ConstantForm(ctx, *spec);
}

}  // namespace quorvane::gui
