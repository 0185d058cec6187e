// The table dialog: one record section as a report list, the way into the
// edit dialogs; and the spell-ID reference list.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "tables/kinds.h"

class QTableWidget;

namespace quorvane::gui {

struct GuiContext;
class EditDialog;

class TableDialog : public QDialog {
    Q_OBJECT
public:
    // Creates the table of `kind` bound to `section` and fills it from the
    // grid. Not yet shown.
    TableDialog(GuiContext& ctx, const TableKind& kind, int section);
    ~TableDialog() override;

    const TableKind& kind() const { return kind_; }
    int boundSection() const { return section_; }
    QTableWidget* list() const { return list_; }

    // Stores the list into the bound section, closes the edit dialogs (their
    // rows are gone), binds to `section` and fills the list from it.
    void Rebind(int section);

    // Opens a new edit dialog on row `row`, filled from the list. Returns
    // nullptr when the row is not in the list.
    EditDialog* OpenEditor(int row);

    // "Close Tab": stores the list into the bound section and closes.
    void CloseTab();
    // Closes without storing anything.
    void Discard();

protected:
    // Escape hides the table; its rows and edits stay for the next showing.
    void reject() override { hide(); }
    void closeEvent(QCloseEvent* event) override;

private:
    void OnDoubleClick();
    void CloseEditors();
    void Unregister();

    GuiContext& ctx_;
    const TableKind& kind_;
    int section_;
    QTableWidget* list_;
    QList<QPointer<EditDialog>> editors_;
    bool closing_ = false;
};

// The spell-ID list: every spell with its ID, read-only. Each call opens
// another one, shown; it deletes itself when closed.
QDialog* OpenSpellIdList(GuiContext& ctx);

}  // namespace quorvane::gui
