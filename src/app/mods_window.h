// CMods: the modeless "Mods" window. A list of mod files in load order (the
// last one wins where two change a value differently), with "Add...",
// "Remove", "Move Up" and "Move Down"; a table of every change of the listed
// mods with its status against the editor's values, a "Conflicts only"
// switch and the winner of each conflict marked; "Apply to Editor", which
// puts the changes that apply in as edits (one step of the undo history),
// and "Export My Changes...", which saves the editor's values that differ
// from the original game as a mod file. The list is kept in the settings
// store, so that the window opens with it again.
#pragma once

#include <QDialog>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui_context.h"
#include "gui/status_label.h"
#include "mods/apply.h"
#include "mods/mod_file.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace quorvane {
struct OriginalGame;
}

namespace quorvane::gui {

class ModPlanModel;
class TextTableModel;

inline constexpr const char* kModsClass = "CMods";

class CMods : public QDialog {
    Q_OBJECT
public:
    // Registers itself as the one "CMods" window and reads the mods of the
    // stored list; deletes itself when closed and then clears that entry.
    CMods(GuiContext& ctx, QWidget* owner);
    ~CMods() override;

    QTableView* modList() const { return modList_; }
    QTableView* changes() const { return changes_; }
    ModPlanModel* model() const { return model_; }
    QCheckBox* conflictsOnly() const { return conflictsOnly_; }
    // What the plan found, in one line; and what the last action did.
    QLabel* countLine() const { return count_; }
    QLabel* statusLine() const { return status_; }

    // Adds the mod file at the end of the load order. A file that cannot be
    // read, or holds a line or a value the write refuses, is reported with
    // its line numbers and not added; returns whether it was.
    bool AddMod(const std::filesystem::path& file);
    // Saves the editor's values that differ from the original game to `file`
    // as a mod named after it; first asks whether to store the edits the
    // windows hold, as Save does. Returns whether the file was written.
    bool ExportTo(const std::filesystem::path& file);

public slots:
    // "Add...": chooses mod files and adds them.
    void Add();
    // "Remove", "Move Up", "Move Down": the selected mod.
    void Remove();
    void MoveUp();
    void MoveDown();
    // "Apply to Editor".
    void ApplyToEditor();
    // "Export My Changes...": chooses the file, then ExportTo.
    void ExportMyChanges();
    // Compares the mods with the editor's values again.
    void Replan();
    // The same, reading the original game again first.
    void Refresh();

protected:
    void reject() override { close(); }
    void closeEvent(QCloseEvent* event) override;

private:
    // Reads the mod file; reports its problems and returns false when it
    // cannot be used.
    bool ReadModFile(const std::filesystem::path& file, Mod* mod, QString* notes);
    void Move(int by);
    int SelectedMod() const;
    void SelectMod(int row);
    // The list changed: shows it, stores it and plans again.
    void ListChanged();
    // Replans once the events of the step that asked have been handled.
    void ScheduleReplan();
    // Reads the original game again when the files may have changed.
    const OriginalGame& Original();
    void UpdateButtons();
    // Without loaded data, reports the refusal of Sections, says `what`
    // ("Nothing was applied") in the status line and returns true.
    bool RefuseWithoutData(const QString& what);
    void ShowStatus(const QString& text);

    GuiContext& ctx_;
    std::vector<std::filesystem::path> files_;  // the mod files in load order
    std::vector<Mod> mods_;                     // what each holds
    std::unique_ptr<OriginalGame> original_;
    std::filesystem::path originalFolder_;
    std::vector<std::string> originalProblems_;  // why the original game could not be read whole
    bool originalStale_ = true;
    bool replanScheduled_ = false;

    QTableView* modList_ = nullptr;
    TextTableModel* listModel_ = nullptr;
    QTableView* changes_ = nullptr;
    ModPlanModel* model_ = nullptr;
    QSortFilterProxyModel* filter_ = nullptr;
    QCheckBox* conflictsOnly_ = nullptr;
    QLabel* count_ = nullptr;
    StatusLabel* status_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

// Opens the Mods window unless one is open, shows it and brings it up.
CMods* OpenModsWindow(GuiContext& ctx);

}  // namespace quorvane::gui
