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
#include "tables/closing_dialog.h"
#include "tables/help_texts.h"
#include "tables/kinds.h"

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
// "flag #" line) in a fixed-width font, placed so that the bars stand under
// the first and the last digit and the "flag #" line is centred under the
// bars. The texts stay as they are: the bit string is spread by letter
// spacing and each line is indented. The positions are measured, so any font
// lines up.
void AddFlagHeader(QVBoxLayout* layout, QWidget* parent) {
    const std::vector<std::string>& lines = FlagHeaderLines();
    layout->addWidget(Line(lines[0], parent));

    const QString bits = ToQ(lines[1]);
    const QString bars = ToQ(lines[2]);
    const QString flags = ToQ(lines[3]);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    const QFontMetricsF fm(fixed);

    const qsizetype firstDigit = bits.indexOf(QRegularExpression(QStringLiteral("[01]")));
    const qsizetype lastDigit = bits.lastIndexOf(QRegularExpression(QStringLiteral("[01]")));
    const qsizetype firstBar = bars.indexOf(QLatin1Char('|'));
    const qsizetype lastBar = bars.lastIndexOf(QLatin1Char('|'));
    auto centre = [&fm](const QString& text, qsizetype at) {
        return fm.horizontalAdvance(text.left(at)) + fm.horizontalAdvance(text.at(at)) / 2.0;
    };
    // Bars line at 0; the digits get the spacing that makes their first and
    // last centres as far apart as the bars' centres.
    const qreal barFirst = centre(bars, firstBar);
    const qreal barLast = centre(bars, lastBar);
    const qreal gaps = static_cast<qreal>(lastDigit - firstDigit);
    const qreal spacing = gaps > 0 ? ((barLast - barFirst) - (centre(bits, lastDigit) - centre(bits, firstDigit))) / gaps : 0;
    const qreal bitsIndent = barFirst - (centre(bits, firstDigit) + spacing * static_cast<qreal>(firstDigit));
    const qreal flagsIndent = (barFirst + barLast) / 2.0 - fm.horizontalAdvance(flags) / 2.0;
    const qreal shift = -std::min({0.0, bitsIndent, flagsIndent});

    struct Placed {
        QString text;
        qreal indent;
        qreal spacing;
    };
    const Placed placed[] = {{bits, bitsIndent + shift, spacing}, {bars, shift, 0}, {flags, flagsIndent + shift, 0}};
    for (const Placed& p : placed) {
        QFont font = fixed;
        if (p.spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, p.spacing);
        QLabel* label = Line(FromQ(p.text), parent);
        label->setObjectName(QStringLiteral("flagDiagram"));
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setIndent(static_cast<int>(p.indent + 0.5));
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

QDialog* OpenHelpTab(const std::string& title) {
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

    AddLines(layout, tab->intro, window);
    if (tab->shape == HelpShape::FlagByte) {
        AddFlagHeader(layout, window);
        for (std::size_t bit = 0; bit < tab->flags.size(); ++bit)
            layout->addWidget(Line("#" + std::to_string(bit) + " = " + tab->flags[bit], window));
    }
    if (tab->codes != CodeRange::None) AddCodes(layout, tab->codes, window);
    AddLines(layout, tab->outro, window);
    layout->addStretch(1);

    window->show();
    return window;
}

}  // namespace quorvane::gui
