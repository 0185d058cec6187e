#include "tables/csv_problems.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/edit_state.h"
#include "gui/qt_text.h"
#include "gui/report_sinks.h"
#include "gui/section_model.h"

namespace quorvane::gui {

CsvProblemsWindow::CsvProblemsWindow(QWidget* parent) : ClosingDialog(parent) {
    setObjectName(QString::fromLatin1(kCsvProblemsClass));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QString::fromLatin1(kCsvProblemsCaption));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("problems"));
    model_ = new TextTableModel({QStringLiteral("CSV Line"), QStringLiteral("Record"), QStringLiteral("Column"),
                                 QStringLiteral("Message")},
                                this);
    list_->setModel(model_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setWordWrap(false);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(list_);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(760, 360);
}

void CsvProblemsWindow::Show(const QString& file, const QString& outcome, const std::vector<CsvProblem>& problems) {
    summary_->setText(file + QStringLiteral(": ") +
                      CountOf(static_cast<int>(problems.size()), "problem was found.", "problems were found.") +
                      QLatin1Char(' ') + outcome);
    QList<QStringList> rows;
    rows.reserve(static_cast<qsizetype>(problems.size()));
    for (const CsvProblem& p : problems) {
        // A record with no CSV line is one the file lacks: its row in the
        // section tells which.
        const QString record = p.line == 0 && p.row > 0 ? QStringLiteral("%1 (%2)").arg(p.row).arg(ToQ(p.record))
                                                        : ToQ(p.record);
        rows.push_back({p.line > 0 ? QString::number(p.line) : QString(), record, ToQ(p.column), ReportText(p.message)});
    }
    model_->SetRows(std::move(rows));
    list_->resizeColumnsToContents();
    show();
    raise();
    activateWindow();
}

}  // namespace quorvane::gui
