#include "tables/open_windows.h"

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QTableWidget>
#include <QPointer>

#include "gui/gui_context.h"
#include "forms/constant_form.h"
#include "forms/form_table.h"
#include "tables/edit_dialog.h"
#include "tables/kinds.h"
#include "tables/list_binding.h"
#include "tables/name_filter.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

// The spell-ID lists show the spells' names: filled again, each keeps the
// rows its filter field hides.
void RefillSpellIdLists(GuiContext& ctx) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != QLatin1String(kSpellIdClass)) continue;
        auto* list = w->findChild<QTableWidget*>(QStringLiteral("list"));
        if (!list) continue;
        LoadArrayTable(ctx, list, kSpellsSection, 2);
        if (auto* filter = w->findChild<QLineEdit*>(QStringLiteral("filter"))) ApplyNameFilter(list, filter->text());
    }
}

QList<TableDialog*> OpenTables(GuiContext& ctx) {
    QList<TableDialog*> out;
    for (const TableKind& kind : TableKinds())
        if (auto* table = qobject_cast<TableDialog*>(ctx.registry.Find(QString::fromLatin1(kind.className))))
            out << table;
    return out;
}

QList<QWidget*> OpenForms(GuiContext& ctx) {
    QList<QWidget*> out;
    for (int s = kFirstFormSection; s <= kLastFormSection; ++s)
        if (QWidget* form = ctx.registry.Find(ConstantFormClass(s))) out << form;
    return out;
}

}  // namespace

PendingEdits FindPendingEdits(GuiContext& ctx) {
    PendingEdits pending;
    for (TableDialog* table : OpenTables(ctx)) {
        if (table->PendingRows() > 0) ++pending.tables;
        pending.editWindows += static_cast<int>(table->ModifiedEditors().size());
    }
    for (QWidget* form : OpenForms(ctx))
        if (FormIsModified(form)) ++pending.forms;
    pending.grid = ctx.session.HasUnsavedEdits();
    return pending;
}

bool StorePendingEdits(GuiContext& ctx) {
    for (TableDialog* table : OpenTables(ctx))
        for (EditDialog* editor : table->ModifiedEditors()) editor->SaveAndClose();
    for (QWidget* form : OpenForms(ctx))
        if (FormIsModified(form) && !StoreForm(form)) return false;
    // Closing a table removes it from the registry; hold them by pointer.
    QList<QPointer<TableDialog>> tables;
    for (TableDialog* table : OpenTables(ctx)) tables << table;
    for (const QPointer<TableDialog>& table : tables)
        if (table && table->PendingRows() > 0) table->StoreAndClose();
    return true;
}

void RefillOpenWindows(GuiContext& ctx) {
    for (TableDialog* table : OpenTables(ctx)) table->Refill();
    for (QWidget* form : OpenForms(ctx)) RefillForm(form);
    RefillSpellIdLists(ctx);
}

PendingEdits FindPendingEditsIn(GuiContext& ctx, const QSet<int>& sections) {
    PendingEdits pending;
    for (TableDialog* table : OpenTables(ctx)) {
        if (!sections.contains(table->boundSection())) continue;
        if (table->PendingRows() > 0) ++pending.tables;
        pending.editWindows += static_cast<int>(table->ModifiedEditors().size());
    }
    for (int s : sections)
        if (QWidget* form = ctx.registry.Find(ConstantFormClass(s)))
            if (FormIsModified(form)) ++pending.forms;
    return pending;
}

void RefillOpenWindows(GuiContext& ctx, const QSet<int>& sections) {
    for (TableDialog* table : OpenTables(ctx))
        if (sections.contains(table->boundSection())) table->Refill();
    for (int s : sections)
        if (QWidget* form = ctx.registry.Find(ConstantFormClass(s))) RefillForm(form);
    if (sections.contains(kSpellsSection)) RefillSpellIdLists(ctx);
}

}  // namespace quorvane::gui
