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
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "gui/check_marks.h"
#include "gui/edit_state.h"
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

        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        auto* discard = new QPushButton(QStringLiteral("Discard Changes and Close Tab"), this);
        auto* save = new QPushButton(QStringLiteral("Save Changes And Close Tab"), this);
        discard->setObjectName(QStringLiteral("discard"));
        save->setObjectName(QStringLiteral("save"));
        // Enter in a value field must neither save nor discard by surprise.
        for (QPushButton* b : {discard, save}) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
        buttons->addWidget(discard);
        buttons->addWidget(save);
        outer->addSpacing(6);
        outer->addLayout(buttons);
        connect(discard, &QPushButton::clicked, this, &QDialog::reject);
        connect(save, &QPushButton::clicked, this, [this] { SaveAndClose(); });

        if (!values_.empty()) values_.front()->setFocus();
        TrackPlacement(ctx_.settings, objectName(), this);
    }

    bool IsModified() const {
        for (std::size_t k = 0; k < values_.size(); ++k)
            if (FromField(values_[k]->text(), opened_[k]) != FromQ(opened_[k])) return true;
        return false;
    }

    bool Store() { return SaveAndClose(); }

    void Refill() {
        const int s = spec_.section;
        if (spec_.shape == FormShape::ColumnsOfOneRow) {
            names_.front()->setText(ToQ(ctx_.session.grid.GetArrayValue(s, 0, 0)));
        } else {
            for (std::size_t k = 0; k < names_.size(); ++k)
                names_[k]->setText(ToQ(ctx_.session.grid.GetArrayValue(s, static_cast<int>(k), 0)));
        }
        for (std::size_t k = 0; k < values_.size(); ++k) {
            const int index = static_cast<int>(k);
            const std::string_view text = spec_.shape == FormShape::ColumnsOfOneRow
                                          ? ctx_.session.grid.GetArrayValue(s, 0, index + 1)
                                          : ctx_.session.grid.GetArrayValue(s, index, 1);
            values_[k]->setText(ToQ(text));
            values_[k]->setCursorPosition(0);
            opened_[k] = values_[k]->text();
        }
        for (QLineEdit* name : names_) name->setCursorPosition(0);
    }

    // Every way of closing (the two buttons, Escape, the close box) ends
    // here; the form is deleted afterwards (WA_DeleteOnClose).
    void done(int result) override {
        const QString cls = objectName();
        if (ctx_.registry.Find(cls) == this) ctx_.registry.Clear(cls);
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

    // The value field of cell (section, j, step), checked as it is typed.
    QLineEdit* ValueField(std::string_view text, int j, int step) {
        auto* f = new QLineEdit(ToQ(text), this);
        CheckFieldAsTyped(f, spec_.section, j, step);
        f->setCursorPosition(0);
        f->setObjectName(QStringLiteral("value%1").arg(values_.size()));
        values_.push_back(f);
        opened_.push_back(f->text());
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
            grid->addWidget(value, line * 2 + 1, col);
        }
        name->setMinimumWidth(FieldWidthFor(this, {name->text(), ToQ(RowLabel(s, 0))}, kMinNameWidth,
                                            kMaxNameWidth));
        outer->addWidget(name);
        outer->addLayout(grid);
    }

    bool SaveAndClose() {
        const int s = spec_.section;
        if (spec_.only25or50) {
            const std::string text = FromField(values_.front()->text(), opened_.front());
            if (!IsDestroyedItemsValue(text)) {
                ctx_.session.log.Line(spec_.className, "::OnSave refused ", text);
                ctx_.session.Report(kOnly25Or50Refusal);
                return false;
            }
        }
        for (std::size_t k = 0; k < values_.size(); ++k) {
            const int index = static_cast<int>(k);
            const std::string text = FromField(values_[k]->text(), opened_[k]);
            if (spec_.shape == FormShape::ColumnsOfOneRow)
                ctx_.session.grid.SetArrayValue(s, 0, index + 1, text);
            else
                ctx_.session.grid.SetArrayValue(s, index, 1, text);
        }
        accept();
        NotifyGridChanged(ctx_);
        return true;
    }

    GuiContext& ctx_;
    const FormSpec& spec_;
    std::vector<QLineEdit*> names_;
    std::vector<QLineEdit*> values_;
    std::vector<QString> opened_;  // what each value field was opened or refilled with
};

}  // namespace

QString ConstantFormClass(int section) {
    const FormSpec* spec = FindFormSpec(section);
    return spec ? QString::fromLatin1(spec->className) : QString();
}

bool FormIsModified(const QWidget* form) {
    const auto* f = dynamic_cast<const ConstantForm*>(form);
    return f && f->IsModified();
}

bool StoreForm(QWidget* form) {
    auto* f = dynamic_cast<ConstantForm*>(form);
    return f && f->Store();
}

void RefillForm(QWidget* form) {
    if (auto* f = dynamic_cast<ConstantForm*>(form)) f->Refill();
}

QDialog* CreateConstantForm(GuiContext& ctx, int section) {
    const FormSpec* spec = FindFormSpec(section);
    if (!spec) return nullptr;
    return new ConstantForm(ctx, *spec);
}

}  // namespace quorvane::gui
