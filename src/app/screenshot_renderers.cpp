#include "app/screenshot_renderers.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QWidget>

#include "catalogue/catalogue.h"
#include "forms/constant_form.h"
#include "forms/form_table.h"
#include "gui/gui_context.h"
#include "tables/edit_dialog.h"
#include "tables/help_tab.h"
#include "tables/kinds.h"
#include "tables/section_chooser.h"
#include "tables/table_dialog.h"

namespace quorvane::gui {

namespace {

bool SaveGrab(QWidget* w, const QString& dir, const QString& name) {
    w->show();
    QCoreApplication::processEvents();
    return w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

}  // namespace

void RenderTableScreenshots(GuiContext& ctx, const QString& dir) {
    QDir().mkpath(dir);
    if (QWidget* chooser = OpenSectionChooser(ctx, nullptr)) {
        SaveGrab(chooser, dir, QString::fromLatin1(kChooserClass));
        chooser->close();
    }
    // Each table with an edit dialog on its first row; nothing is stored.
    const int unitSection = 5;
    for (const TableKind& kind : TableKinds()) {
        const int section = kind.firstSection == 3 ? unitSection : kind.firstSection;
        auto* table = qobject_cast<TableDialog*>(DispatchSection(ctx, section));
        if (!table) continue;
        SaveGrab(table, dir, QString::fromLatin1(kind.className));
        if (EditDialog* editor = table->OpenEditor(0)) SaveGrab(editor, dir, QString::fromLatin1(kind.edit->className));
        table->Discard();
    }
    if (QDialog* spellIds = OpenSpellIdList(ctx)) {
        SaveGrab(spellIds, dir, QString::fromLatin1(kSpellIdClass));
        spellIds->close();
    }
    // One help tab of each shape, and the longer ones of the unit editor.
    const struct {
        const char* title;
        const char* file;
    } tabs[] = {
        {"Specials (1)", "HelpTab_FlagByte"},
        {"1st Building Banned", "HelpTab_BuildingCodes"},
        {"Power Type", "HelpTab_Text"},
        {"Units Hero Item Slots", "HelpTab_UnitBuildingCodes"},
        {"Ranged Attack Type", "HelpTab_RangedAttackType"},
        {"Units Attribute Flags (3)", "HelpTab_FlagByteWithNote"},
    };
    for (const auto& tab : tabs) {
        if (QDialog* window = OpenHelpTab(tab.title)) {
            SaveGrab(window, dir, QString::fromLatin1(tab.file));
            window->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void RenderFormScreenshots(GuiContext& ctx, const QString& dir) {
    QDir().mkpath(dir);
    for (int s = kFirstFormSection; s <= kLastFormSection; ++s) {
        QDialog* form = CreateConstantForm(ctx, s);
        form->setWindowTitle(ToQ(DisplayName(s)));
        form->adjustSize();
        form->grab().save(QDir(dir).filePath(form->objectName() + QStringLiteral(".png")));
        delete form;
    }
}

}  // namespace quorvane::gui
