#include "tables/section_chooser.h"

#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/document.h"
#include "gui/gui_context.h"
#include "gui/placement.h"
#include "catalogue/catalogue.h"
#include "forms/constant_form.h"
#include "tables/closing_dialog.h"
#include "tables/edit_dialog.h"
#include "tables/kinds.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

constexpr int kChooserRowHeight = 25;

class SectionChooser : public ClosingDialog {
public:
    SectionChooser(GuiContext& ctx, QWidget* owner) : ClosingDialog(owner), ctx_(ctx) {
        setObjectName(kChooserClass);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QString::fromLatin1(kChooserCaption));

        auto* layout = new QVBoxLayout(this);
        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("sections"));
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        list_->setSortingEnabled(false);
        list_->setUniformItemSizes(true);
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        layout->addWidget(list_);
        auto* close = new QPushButton(QString::fromLatin1(kCloseTabText), this);
        close->setAutoDefault(false);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
        layout->addWidget(close);

        resize(300, 480);
        TrackPlacement(ctx_.settings, QString::fromLatin1(kChooserClass), this);
        for (int i = 0; i < kSectionCount; ++i) {
            auto* item = new QListWidgetItem(ToQ(DisplayName(i)), list_);
            item->setSizeHint(QSize(0, kChooserRowHeight));
        }
        connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnDoubleClick(); });
        list_->installEventFilter(this);
        // A table closed or a form saved from here is undone from here.
        ctx_.document.AddUndoActions(this);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        ctx_.registry.Forget(this);
        ClosingDialog::closeEvent(event);
    }

    // Enter or Return on the selected entry opens it, as a double-click does.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == list_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                OnDoubleClick();
                return true;
            }
        }
        return ClosingDialog::eventFilter(watched, event);
    }

private:
    void OnDoubleClick() {
        const QList<QListWidgetItem*> selected = list_->selectedItems();
        if (selected.isEmpty()) return;
        DispatchSection(ctx_, list_->row(selected.first()));
    }

    GuiContext& ctx_;
    QListWidget* list_ = nullptr;
};

}  // namespace

QString SectionWindowClass(int section) {
    if (const TableKind* kind = TableKindOf(section)) return QString::fromLatin1(kind->className);
    return ConstantFormClass(section);
}

QWidget* OpenSectionChooser(GuiContext& ctx, QWidget* owner) {
    if (QWidget* open = ctx.registry.Find(QString::fromLatin1(kChooserClass))) {
        BringToFront(open);
        return open;
    }
    auto* chooser = new SectionChooser(ctx, owner);
    ctx.registry.Register(chooser);
    BringToFront(chooser);
    return chooser;
}

QWidget* DispatchSection(GuiContext& ctx, int section) {
    if (section < 0 || section >= kSectionCount) return nullptr;
    const QString kind = SectionWindowClass(section);
    if (kind.isEmpty()) return nullptr;
    QWidget* window = ctx.registry.Find(kind);
    if (const TableKind* table = TableKindOf(section)) {
        auto* open = qobject_cast<TableDialog*>(window);
        if (open) {
            // The shared unit window follows the newest choice, so its
            // caption and its rows always agree; cancelled, it stays as it was.
            if (!open->Rebind(section)) return open;
        } else {
            open = new TableDialog(ctx, *table, section);
            ctx.registry.Register(open);
        }
        BringToFront(open);
        open->SetCaption(ToQ(DisplayName(section)));
        return open;
    }
    if (!window) {
        window = CreateConstantForm(ctx, section);
        if (!window) return nullptr;
        ctx.registry.Register(window);
    }
    // A form has the section's name as its caption before it is first shown:
    // its own template caption never appears.
    window->setWindowTitle(ToQ(DisplayName(section)));
    BringToFront(window);
    return window;
}

}  // namespace quorvane::gui
