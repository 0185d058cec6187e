// The table dialog: one record section as a report list, the way into the
// edit dialogs; and the spell-ID reference list.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

#include "gui/status_label.h"
#include "tables/csv_problems.h"
#include "tables/kinds.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;

namespace quorvane::gui {

struct GuiContext;
class EditBuilder;
class EditDialog;
class RecordFilter;
class SectionModel;

class TableDialog : public QDialog {
    Q_OBJECT
public:
    // Creates the table of `kind` bound to `section` and shows the section
    // as the document holds it. Not yet shown.
    TableDialog(GuiContext& ctx, const TableKind& kind, int section);
    ~TableDialog() override;

    const TableKind& kind() const { return kind_; }
    int boundSection() const { return section_; }
    QTableView* list() const { return list_; }
    // The model of the bound section, and the proxy between it and the list.
    SectionModel* model() const;
    RecordFilter* filter() const { return filter_; }
    // The "Filter by name" field under "Close Tab", and beside it the
    // "Changed rows only" switch.
    QLineEdit* filterField() const { return filterField_; }
    QCheckBox* changedOnlySwitch() const { return changedOnly_; }

    // Binds to `section` and shows it, closing the edit dialogs (their rows
    // are gone). When the bound section holds pending edits or an edit
    // dialog holds typed values, first asks whether to store them into the
    // section shown now, to drop them, or to cancel. Returns false when
    // cancelled: the window stays as it was.
    bool Rebind(int section);
    // Binds to `section` and shows it without asking: pending edits stay
    // with their section, edit dialogs stay open.
    void ShowSection(int section);

    // Sets the caption; it carries the modified mark while rows are pending.
    void SetCaption(const QString& caption);

    // Rows of the bound section holding pending edits.
    int PendingRows() const;
    // Open edit dialogs whose fields differ from what their rows show.
    QList<EditDialog*> ModifiedEditors() const;
    // Every open edit dialog of this table.
    QList<EditDialog*> Editors() const;

    // Fills every open edit dialog again from its row, dropping what was
    // typed (after the grid was replaced).
    void Refill();
    // Adds to `step` what "Close Tab" stores (the modified edit dialogs,
    // then the bound section's pending edits) and the column widths.
    void AddStoreTo(EditBuilder& step);
    // Closes the window and its edit dialogs without storing anything.
    void CloseWithoutStoring();

    // Opens a new edit dialog on row `row`, filled from what the table shows.
    // Returns nullptr when the row is not in the section.
    EditDialog* OpenEditor(int row);
    // Shows record row `row` selected and in view, at column `column`,
    // clearing the filter where it hides the row.
    void SelectRecord(int row, int column);

    // Sets row `row` to `texts` (one per column) as one step that Undo
    // takes back; an edit dialog's save ends here. A save that changes
    // nothing is no step.
    void SaveRow(int row, const QStringList& texts);
    // Sets row `row` back to its texts of the last load or extraction (also
    // where they are stored already), as one pending step.
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
    // Writes the section as the table shows it now (pending edits included)
    // into `path` as CSV, replacing the file safely. False, reported, when
    // it cannot be written.
    bool ExportCsv(const QString& path);
    // Puts the values of the CSV file at `path` into the table, its rows
    // matched to the table's by name, as one step that Undo takes back; the
    // names stay as the table has them. Every problem is listed in the CSV
    // problems window; when the file is malformed or a row or value is
    // refused, nothing changes and false is returned. The status line under
    // the list says what the export or import did.
    bool ImportCsv(const QString& path);
    // The window listing the last import's problems, while it is open.
    CsvProblemsWindow* csvProblems() const { return problems_; }
    // The status line under the list ("Imported 215 rows, 5 values changed.").
    QLabel* csvStatus() const { return status_; }

    // "Close Tab": stores the table into the bound section as one step and
    // closes. When edit dialogs hold typed values, asks first whether to
    // store them too, to drop them, or to cancel.
    void CloseTab();
    // Closes without storing anything.
    void Discard() { CloseWithoutStoring(); }

protected:
    // Escape hides the table; its rows and edits stay for the next showing.
    void reject() override { hide(); }
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDoubleClick();
    // The row menu, opened by Shift+F10 or the Menu key.
    void OpenRowMenuFromKeyboard();
    void Bind(int section);
    void CloseEditors();
    void RefreshCaption();
    QStringList RowTexts(int row) const;
    // The record row of the list's first selected row, or -1.
    int SelectedRecord() const;
    void SetStatus(const QString& text);

    GuiContext& ctx_;
    const TableKind& kind_;
    int section_;
    QTableView* list_;
    RecordFilter* filter_;
    QLineEdit* filterField_;
    QCheckBox* changedOnly_;
    QList<QPointer<EditDialog>> editors_;
    bool closing_ = false;
    QString caption_;
    FileChooser chooseFile_;
    StatusLabel* status_;
    QPointer<CsvProblemsWindow> problems_;
};

// The spell-ID list: every spell with its ID, read-only. Each call opens
// another one, shown, beside `beside` when given (the `cascade`-th opened from
// it, see PlaceBeside); it deletes itself when closed.
QDialog* OpenSpellIdList(GuiContext& ctx, const QWidget* beside = nullptr, int cascade = 0);

}  // namespace quorvane::gui
