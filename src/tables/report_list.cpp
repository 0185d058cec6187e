#include "tables/report_list.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace quorvane::gui {

ReportList::ReportList(QWidget* parent) : QTableView(parent) {}

void ReportList::FreezeFirstColumn() {
    if (frozen_ || !parentWidget() || !model()) return;
    // A sibling, not a child: it stands over the list and screen readers
    // find its names as a table of their own, in view however the list
    // scrolls.
    frozen_ = new QTableView(parentWidget());
    frozen_->setObjectName(QStringLiteral("names"));
    frozen_->setModel(model());
    frozen_->setSelectionModel(selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setSelectionMode(selectionMode());
    frozen_->setSelectionBehavior(selectionBehavior());
    frozen_->setEditTriggers(NoEditTriggers);
    frozen_->setWordWrap(false);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(verticalScrollMode());
    frozen_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = frozen_->verticalHeader();
    rows->setVisible(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    QHeaderView* head = frozen_->horizontalHeader();
    head->setHighlightSections(false);
    head->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    head->setStretchLastSection(false);
    head->setSectionsClickable(true);
    head->setSortIndicatorShown(true);
    head->setSortIndicatorClearable(true);
    head->setSortIndicator(horizontalHeader()->sortIndicatorSection(), horizontalHeader()->sortIndicatorOrder());
    // The other columns slide under the names pixel by pixel.
    setHorizontalScrollMode(ScrollPerPixel);
    HideFrozenColumns();

    connect(model(), &QAbstractItemModel::modelReset, this, &ReportList::HideFrozenColumns);
    connect(model(), &QAbstractItemModel::columnsInserted, this, &ReportList::HideFrozenColumns);
    // One width for the names, whichever header the user drags.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column != 0) return;
        if (frozen_->columnWidth(0) != size) frozen_->setColumnWidth(0, size);
        PlaceFrozen();
    });
    connect(head, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column == 0 && columnWidth(0) != size) setColumnWidth(0, size);
    });
    // A click on the names' header sorts the list as a click on its own
    // header does; the list's sort shows on both.
    connect(head, &QHeaderView::sortIndicatorChanged, this, [this](int section, Qt::SortOrder order) {
        QHeaderView* own = horizontalHeader();
        if (own->sortIndicatorSection() != section || own->sortIndicatorOrder() != order)
            own->setSortIndicator(section, order);
    });
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, head, [head](int section, Qt::SortOrder order) {
        if (head->sortIndicatorSection() != section || head->sortIndicatorOrder() != order)
            head->setSortIndicator(section, order);
    });
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(), &QAbstractSlider::setValue);
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    // A double-click or a right click on a name is one on its row.
    connect(frozen_, &QAbstractItemView::doubleClicked, this, &QAbstractItemView::doubleClicked);
    connect(frozen_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        emit customContextMenuRequested(viewport()->mapFromGlobal(frozen_->viewport()->mapToGlobal(at)));
    });
    PlaceFrozen();
}

void ReportList::HideFrozenColumns() {
    if (!frozen_) return;
    const int columns = model()->columnCount();
    for (int c = 1; c < columns; ++c) frozen_->setColumnHidden(c, true);
    frozen_->setColumnHidden(0, false);
    frozen_->setColumnWidth(0, columnWidth(0));
    PlaceFrozen();
}

void ReportList::PlaceFrozen() {
    if (!frozen_) return;
    const int frame = frameWidth();
    const int left = frame + (verticalHeader()->isVisible() ? verticalHeader()->width() : 0);
    const QRect area(left, frame, std::min(columnWidth(0), viewport()->width()),
                     viewport()->height() + horizontalHeader()->height());
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setGeometry(QRect(mapTo(parentWidget(), area.topLeft()), area.size()));
    frozen_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    frozen_->setVisible(isVisible());
    frozen_->raise();
}

void ReportList::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!frozen_ || !index.isValid()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    if (index.column() == 0) {
        const int sideways = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(sideways);
        return;
    }
    QTableView::scrollTo(index, hint);
    const int left = visualRect(index).left();
    if (left < columnWidth(0)) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (columnWidth(0) - left));
}

void ReportList::updateGeometries() {
    QTableView::updateGeometries();
    PlaceFrozen();
}

bool ReportList::event(QEvent* event) {
    const bool handled = QTableView::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        PlaceFrozen();
        break;
    case QEvent::Hide:
        if (frozen_) frozen_->hide();
        break;
    default:
        break;
    }
    return handled;
}

}  // namespace quorvane::gui
