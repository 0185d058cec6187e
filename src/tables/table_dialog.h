// The table dialog: one record section as a report list, the way into the
// edit dialogs; and the spell-ID reference list.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QPointer>
#include <QStringList>

#include <functional>

#include "tables/csv_problems.h"
#include "tables/kinds.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTableWidget;
class QTableWidgetItem;
class QUndoStack;

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
    // The "Filter by name" field under "Close Tab".
    QLineEdit* filterField() const { return filter_; }
    // The row saves and reverts made in this window since it was filled.
    QUndoStack* undoStack() const { return undo_; }

    // Binds to `section` and fills the list from it, closing the edit dialogs
    // (their rows are gone). When the list or an edit dialog holds changes,
    // first asks whether to store them into the section shown now, to drop
    // them, or to cancel; without changes the list is stored as it is.
    // Returns false when cancelled: the window stays as it was.
    bool Rebind(int section);

    // Sets the caption; it carries the modified mark while rows are pending.
    void SetCaption(const QString& caption);

    // Rows whose list text differs from the grid.
    int PendingRows() const;
    // Open edit dialogs whose fields differ from what they were opened with.
    QList<EditDialog*> ModifiedEditors() const;
    // Every open edit dialog of this table.
    QList<EditDialog*> Editors() const;

    // Fills the list again from the grid and every open edit dialog from its
    // row, dropping whatever they held.
    void Refill();
    // Stores the modified edit dialogs into the list, then the list into the
    // bound section, and closes, without asking.
    void StoreAndClose();

    // Opens a new edit dialog on row `row`, filled from the list. Returns
    // nullptr when the row is not in the list.
    EditDialog* OpenEditor(int row);

    // Sets row `row` of the list to `texts` (one per column) as one step
    // that Undo takes back; an edit dialog's save ends here. A save that
    // changes nothing is no step.
    void SaveRow(int row, const QStringList& texts);
    // Sets row `row` of the list back to what the grid holds, as one step.
    void RevertRow(int row);
    // The context menu of row `row`: "Undo", "Redo" and "Revert Row", then
    // "Export Section to CSV…" and "Import Section from CSV…".
    QMenu* NewRowMenu(int row);

    // Asks for the file of a CSV export (save true, `suggested` the proposed
    // path) or import; an empty answer cancels. By default a file dialog.
    using FileChooser = std::function<QString(QWidget* parent, bool save, const QString& suggested)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The menu entries: ask for a file, then export or import.
    void ExportSectionToCsv();
    void ImportSectionFromCsv();
    // Writes the section as the list shows it now (pending edits included)
    // into `path` as CSV, replacing the file safely. False, reported, when
    // it cannot be written.
    bool ExportCsv(const QString& path);
    // Puts the values of the CSV file at `path` into the list, its rows
    // matched to the list's by name, as one step that Undo takes back; the
    // names stay as the list has them. Every problem is listed in the CSV
    // problems window; when the file is malformed or a row or value is
    // refused, nothing changes and false is returned. The status line under
    // the list says what the export or import did.
    bool ImportCsv(const QString& path);
    // The window listing the last import's problems, while it is open.
    CsvProblemsWindow* csvProblems() const { return problems_; }
    // The status line under the list ("Imported 215 rows, 5 values changed.").
    QLabel* csvStatus() const { return status_; }

    // "Close Tab": stores the list into the bound section and closes. When
    // edit dialogs hold typed values, asks first whether to store them into
    // the list, to drop them, or to cancel.
    void CloseTab();
    // Closes without storing anything.
    void Discard();

protected:
    // Escape hides the table; its rows and edits stay for the next showing.
    void reject() override { hide(); }
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDoubleClick();
    void Fill();
    void CloseEditors();
    void SaveModifiedEditors();
    void Unregister();
    void MarkCell(QTableWidgetItem* item);
    void RefreshMarks();
    void RefreshCaption();
    QStringList RowTexts(int row) const;
    void SetRowTexts(int row, const QStringList& texts, bool refreshCaption = true);
    void PushRow(int row, const QStringList& texts, const QString& what);
    void SetStatus(const QString& text);

    GuiContext& ctx_;
    const TableKind& kind_;
    int section_;
    QTableWidget* list_;
    QLineEdit* filter_;
    QUndoStack* undo_;
    QAction* undoAction_;
    QAction* redoAction_;
    QList<QPointer<EditDialog>> editors_;
    bool closing_ = false;
    bool marking_ = false;
    QString caption_;
    FileChooser chooseFile_;
    QLabel* status_;
    QPointer<CsvProblemsWindow> problems_;
};

// The spell-ID list: every spell with its ID, read-only. Each call opens
// another one, shown; it deletes itself when closed.
QDialog* OpenSpellIdList(GuiContext& ctx);

}  // namespace quorvane::gui
