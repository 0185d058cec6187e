#include "tables/value_aids.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include "catalogue/conversions.h"
#include "catalogue/layout.h"
#include "gui/qt_text.h"
#include "writeback/cell_check.h"

namespace quorvane::gui {

namespace {

constexpr int kBits = 8;

// A check box whose label wraps at a given width, so that a long meaning
// ("This bit is set for all flying units, but clearing it has no apparent
// effect on the unit.") takes lines rather than the width of the dialog. A
// label that fits is drawn as any check box's.
class WrappingCheckBox : public QCheckBox {
public:
    WrappingCheckBox(const QString& text, int wrapWidth, QWidget* parent)
        : QCheckBox(text, parent), wrap_(wrapWidth) {}

    QSize sizeHint() const override {
        if (!Wraps()) return QCheckBox::sizeHint();
        const QRect text = TextRect(wrap_ - Indent());
        return {Indent() + text.width(), std::max(text.height(), QCheckBox::sizeHint().height())};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!Wraps()) {
            QCheckBox::paintEvent(event);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        // The box beside the first line, the text wrapped beside it.
        QStyleOptionButton box = option;
        box.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
        box.rect.moveTop(std::max(0, (fontMetrics().height() - box.rect.height()) / 2));
        painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
        const QRect area = rect().adjusted(Indent(), 0, 0, 0);
        painter.drawItemText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, palette(), isEnabled(), text(),
                             QPalette::WindowText);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = TextRect(area.width()).translated(area.topLeft());
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    bool Wraps() const { return QCheckBox::sizeHint().width() > wrap_; }
    int Indent() const {
        QStyleOptionButton option;
        initStyleOption(&option);
        return style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this) +
               style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    }
    QRect TextRect(int width) const {
        return fontMetrics().boundingRect(QRect(0, 0, std::max(1, width), 1 << 20), Qt::AlignLeft | Qt::TextWordWrap,
                                          text());
    }

    int wrap_;
};

// Types `text` into `field` as one edit of its own, so that Ctrl+Z in the
// field takes it back like typing.
void PutIntoField(QLineEdit* field, const QString& text) {
    if (field->text() == text) return;
    field->selectAll();
    field->insert(text);
}

// The number the table shows for a stored number: the top of a byte's or a
// word's range as a negative number, as extraction reads it.
long long ShownNumber(long long stored, FieldKind kind) {
    if (kind == FieldKind::Byte && stored >= 241 && stored <= 255) return stored - 256;
    if (kind == FieldKind::Word && stored >= 60001 && stored <= 65535) return stored - 65536;
    return stored;
}

}  // namespace

QWidget* NewFlagBoxes(QLineEdit* field, const std::vector<std::string>& meanings, int wrapWidth, QWidget* parent) {
    auto* holder = new QWidget(parent);
    holder->setObjectName(field->objectName() + QStringLiteral("bits"));
    auto* column = new QVBoxLayout(holder);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(0);
    std::array<QCheckBox*, kBits> boxes{};
    for (int bit = 0; bit < kBits; ++bit) {
        const auto at = static_cast<std::size_t>(bit);
        const QString bitName = QStringLiteral("bit %1").arg(bit);
        const QString text = at < meanings.size() && !meanings[at].empty() ? ToQ(meanings[at]) : bitName;
        auto* box = new WrappingCheckBox(text, wrapWidth, holder);
        box->setObjectName(field->objectName() + QStringLiteral("bit%1").arg(bit));
        box->setToolTip(bitName);
        column->addWidget(box);
        boxes[at] = box;
    }
    // The field's text ticks the boxes: eight characters 0 or 1, bit 7 first.
    const auto follow = [field, boxes] {
        const std::string text = FromQ(field->text().trimmed());
        const bool flags = text.size() == kBits && text.find_first_not_of("01") == std::string::npos;
        const int byte = flags ? FlagTextToByte(text) : 0;
        for (int bit = 0; bit < kBits; ++bit) {
            QCheckBox* box = boxes[static_cast<std::size_t>(bit)];
            box->setEnabled(flags);
            if (!flags) continue;
            const QSignalBlocker quiet(box);
            box->setChecked((byte >> bit & 1) != 0);
        }
    };
    QObject::connect(field, &QLineEdit::textChanged, holder, follow);
    // A tick sets the field's text from all eight boxes.
    for (QCheckBox* box : boxes)
        QObject::connect(box, &QCheckBox::toggled, holder, [field, boxes] {
            int byte = 0;
            for (int bit = 0; bit < kBits; ++bit)
                if (boxes[static_cast<std::size_t>(bit)]->isChecked()) byte |= 1 << bit;
            PutIntoField(field, ToQ(ByteToFlagText(byte)));
        });
    follow();
    return holder;
}

QComboBox* NewCodeChooser(QLineEdit* field, int i, int j, int step, const std::vector<HelpCode>& codes,
                          QWidget* parent) {
    auto* chooser = new QComboBox(parent);
    chooser->setObjectName(field->objectName() + QStringLiteral("codes"));
    chooser->setPlaceholderText(QStringLiteral("(not listed)"));
    chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chooser->setMinimumContentsLength(6);
    for (const HelpCode& code : codes) chooser->addItem(ToQ(code.text + " " + code.meaning), code.code);
    // The open list shows every text whole, however narrow the box.
    chooser->view()->setMinimumWidth(chooser->view()->sizeHintForColumn(0) + 24);

    // The field's number, as the write reads it, chooses its code.
    const auto follow = [field, chooser, i, j, step] {
        const CellCheck check = CheckCell(i, j, step, FromField(field->text()));
        const int index =
            check.verdict == CellCheck::Verdict::Refused ? -1 : chooser->findData(static_cast<int>(check.stored));
        const QSignalBlocker quiet(chooser);
        chooser->setCurrentIndex(index);
    };
    QObject::connect(field, &QLineEdit::textChanged, chooser, follow);
    const FieldKind kind = GetFieldKind(i, j, step);
    QObject::connect(chooser, &QComboBox::activated, field, [field, chooser, kind](int index) {
        if (index < 0) return;
        PutIntoField(field, QString::number(ShownNumber(chooser->itemData(index).toLongLong(), kind)));
    });
    follow();
    return chooser;
}

}  // namespace quorvane::gui
