#include "tables/help_tab.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/gui_context.h"
#include "gui/placement.h"
#include "tables/closing_dialog.h"
#include "tables/help_texts.h"
#include "tables/kinds.h"
#include "tables/window_keys.h"

namespace quorvane::gui {

namespace {

// A help tab stores nothing; Escape closes it like its "Close Tab" button.
class HelpTabDialog : public ClosingDialog {
public:
    HelpTabDialog() : ClosingDialog(nullptr) {}
};

QLabel* Line(const std::string& text, QWidget* parent) {
    auto* label = new QLabel(ToQ(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

void AddLines(QVBoxLayout* layout, const std::vector<std::string>& lines, QWidget* parent) {
    for (const std::string& text : lines) layout->addWidget(Line(text, parent));
}

// The flag header: its three diagram lines (the bit string, the bars and the
// "flag #" line) in a fixed-width font, lined up on the "flag #" line: the
// first digit and the first bar stand over the 7 of "flag #7", the last
// digit and the last bar over the 0 of "flag #0". The texts stay as they
// are: the bit string and the bars are spread by letter spacing and each
// line is indented. The positions are measured, so any font lines up.
void AddFlagHeader(QVBoxLayout* layout, QWidget* parent) {
    const std::vector<std::string>& lines = FlagHeaderLines();
    layout->addWidget(Line(lines[0], parent));

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    const QFontMetricsF fm(fixed);
    auto centre = [&fm](const QString& text, qsizetype at) {
        return fm.horizontalAdvance(text.left(at)) + fm.horizontalAdvance(text.at(at)) / 2.0;
    };

    // Each line with the two characters that mark bit 7 and bit 0 on it.
    struct Marked {
        QString text;
        qsizetype bit7, bit0;
        qreal indent = 0, spacing = 0;
    };
    const QString bits = ToQ(lines[1]);
    const QString bars = ToQ(lines[2]);
    const QString flags = ToQ(lines[3]);
    const QRegularExpression digit(QStringLiteral("[01]"));
    Marked placed[] = {
        {bits, bits.indexOf(digit), bits.lastIndexOf(digit)},
        {bars, bars.indexOf(QLatin1Char('|')), bars.lastIndexOf(QLatin1Char('|'))},
        {flags, flags.indexOf(QStringLiteral("#7")) + 1, flags.lastIndexOf(QStringLiteral("#0")) + 1},
    };
    const qreal seven = centre(flags, placed[2].bit7);
    const qreal zero = centre(flags, placed[2].bit0);
    qreal shift = 0;
    for (Marked& m : placed) {
        const qreal gaps = static_cast<qreal>(m.bit0 - m.bit7);
        if (gaps > 0) m.spacing = ((zero - seven) - (centre(m.text, m.bit0) - centre(m.text, m.bit7))) / gaps;
        m.indent = seven - (centre(m.text, m.bit7) + m.spacing * static_cast<qreal>(m.bit7));
        shift = std::max(shift, -m.indent);
    }
    for (const Marked& m : placed) {
        QFont font = fixed;
        if (m.spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, m.spacing);
        QLabel* label = Line(FromQ(m.text), parent);
        label->setObjectName(QStringLiteral("flagDiagram"));
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setIndent(static_cast<int>(m.indent + shift + 0.5));
        layout->addWidget(label);
    }
    for (std::size_t k = 4; k < lines.size(); ++k) layout->addWidget(Line(lines[k], parent));
}

// The codes stand in three columns, filled column by column.
void AddCodes(QVBoxLayout* layout, CodeRange range, QWidget* parent) {
    layout->addWidget(Line(CodeHeading(range), parent));
    const auto& codes = BuildingCodes();
    const int count = range == CodeRange::UnitsOnly ? kUnitBuildingCodes : static_cast<int>(codes.size());
    const int perColumn = (count + 2) / 3;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(2);
    for (int k = 0; k < count; ++k) {
        const std::string text = std::to_string(codes[static_cast<std::size_t>(k)].code) + "\t" +
                                 codes[static_cast<std::size_t>(k)].name;
        grid->addWidget(Line(text, parent), k % perColumn, k / perColumn);
    }
    layout->addLayout(grid);
}

}  // namespace

QDialog* OpenHelpTab(const std::string& title, const QWidget* beside, int cascade) {
    const HelpTabText* tab = FindHelpTab(title);
    if (!tab) return nullptr;

    auto* window = new HelpTabDialog;
    window->setObjectName(kHelpTabObjectName);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(ToQ(tab->title));

    auto* layout = new QVBoxLayout(window);
    layout->setSpacing(2);
    auto* close = new QPushButton(QString::fromLatin1(kCloseTabText), window);
    close->setAutoDefault(false);
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    layout->addWidget(close);
    layout->addSpacing(8);
    AddCloseTabKey(window, close);

    AddLines(layout, tab->intro, window);
    if (tab->shape == HelpShape::FlagByte) {
        AddFlagHeader(layout, window);
        for (std::size_t bit = 0; bit < tab->flags.size(); ++bit)
            layout->addWidget(Line("#" + std::to_string(bit) + " = " + tab->flags[bit], window));
    }
    if (tab->codes != CodeRange::None) AddCodes(layout, tab->codes, window);
    AddLines(layout, tab->outro, window);
    layout->addStretch(1);

    PlaceBeside(window, beside, cascade);
    window->show();
    return window;
}

}  // namespace quorvane::gui
