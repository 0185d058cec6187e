#include "tables/open_windows.h"

#include <QList>
#include <QPointer>

#include "catalogue/catalogue.h"
#include "forms/constant_form.h"
#include "forms/form_table.h"
#include "gui/document.h"
#include "gui/edit_step.h"
#include "gui/gui_context.h"
#include "tables/edit_dialog.h"
#include "tables/kinds.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

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

PendingEdits CountPending(GuiContext& ctx, const QSet<int>* sections) {
    PendingEdits pending;
    for (int section : ctx.document.SectionsWithPending())
        if (!sections || sections->contains(section)) ++pending.tables;
    for (TableDialog* table : OpenTables(ctx))
        for (EditDialog* editor : table->ModifiedEditors())
            if (!sections || sections->contains(editor->section())) ++pending.editWindows;
    for (QWidget* form : OpenForms(ctx))
        if (FormIsModified(form) && (!sections || sections->contains(FormSection(form)))) ++pending.forms;
    return pending;
}

}  // namespace

PendingEdits FindPendingEdits(GuiContext& ctx) {
    PendingEdits pending = CountPending(ctx, nullptr);
    pending.grid = ctx.document.HasUnsavedEdits();
    return pending;
}

PendingEdits FindPendingEditsIn(GuiContext& ctx, const QSet<int>& sections) { return CountPending(ctx, &sections); }

bool StorePendingEdits(GuiContext& ctx) {
    QList<QWidget*> forms;
    for (QWidget* form : OpenForms(ctx))
        if (FormIsModified(form)) {
            // A value its form refuses stops everything before anything is stored.
            if (!FormAccepts(form)) return false;
            forms << form;
        }
    EditBuilder step(ctx.document, QStringLiteral("Store All Edits"));
    // The tables that hold something close as "Close Tab" closes them, with
    // their column widths kept; their edit dialogs' values go in first.
    QList<QPointer<TableDialog>> stored;
    for (TableDialog* table : OpenTables(ctx))
        if (table->PendingRows() > 0 || !table->ModifiedEditors().isEmpty()) {
            table->AddStoreTo(step);
            stored << table;
        }
    for (QWidget* form : forms) AddFormTo(form, step);
    // Sections whose tables are closed or show another unit section.
    for (int section : ctx.document.SectionsWithPending()) step.StorePending(section);
    step.Push();
    for (const QPointer<TableDialog>& table : stored)
        if (table) table->CloseWithoutStoring();
    for (QWidget* form : forms) CloseForm(form);
    return true;
}

void RefillOpenWindows(GuiContext& ctx) {
    for (TableDialog* table : OpenTables(ctx)) table->Refill();
    for (QWidget* form : OpenForms(ctx)) RefillForm(form);
}

void RefillOpenWindows(GuiContext& ctx, const QSet<int>& sections) {
    for (TableDialog* table : OpenTables(ctx))
        for (EditDialog* editor : table->Editors())
            if (sections.contains(editor->section())) editor->Refill();
    for (int s : sections)
        if (QWidget* form = ctx.registry.Find(ConstantFormClass(s))) RefillForm(form);
}

void ConnectSectionWindows(GuiContext& ctx) {
    QObject::connect(&ctx.document, &Document::revealSection, &ctx.document, [&ctx](int section) {
        if (const TableKind* kind = TableKindOf(section)) {
            if (auto* open = qobject_cast<TableDialog*>(ctx.registry.Find(QString::fromLatin1(kind->className)))) {
                open->ShowSection(section);
                open->SetCaption(ToQ(DisplayName(section)));
                open->show();
                open->raise();
                return;
            }
        }
        DispatchSection(ctx, section);
    });
}

}  // namespace quorvane::gui
