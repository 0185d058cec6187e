#include "tables/help_tab.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
    auto* close = new QPushButton(kCloseTabText, window);
    close->setAutoDefault(false);
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    layout->addWidget(close);
    layout->addSpacing(8);

    AddLines(layout, tab->intro, window);
    if (tab->shape == HelpShape::FlagByte) {
        AddLines(layout, FlagHeaderLines(), window);
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
