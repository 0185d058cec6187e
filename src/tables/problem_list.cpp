#include "tables/problem_list.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "gui/section_model.h"

namespace quorvane::gui {

ProblemListWindow::ProblemListWindow(QWidget* parent, const char* className, const char* caption,
                                     const QStringList& headers, QSize size)
    : ClosingDialog(parent) {
    setObjectName(QString::fromLatin1(className));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QString::fromLatin1(caption));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summary_);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("problems"));
    model_ = new TextTableModel(headers, this);
    list_->setModel(model_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setWordWrap(false);
    // Tab leaves the list for the "Close" button.
    list_->setTabKeyNavigation(false);
    list_->verticalHeader()->setVisible(false);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(list_, 1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(size);
}

void ProblemListWindow::SetProblems(const QString& summary, QList<QStringList> rows) {
    summary_->setText(summary);
    model_->SetRows(std::move(rows));
    list_->resizeColumnsToContents();
}

}  // namespace quorvane::gui
