// CSettings: the modeless settings dialog. Two stored paths (the game folder
// and the rules file), the four file actions with their progress bar, and a
// status line saying what the last action did.
#pragma once

#include <QDialog>

#include <functional>
#include "actions/actions.h"
#include "gui/gui_context.h"
#include "gui/status_label.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace quorvane::gui {

inline constexpr const char* kSettingsGroup = "Quorvane Settings";
inline constexpr const char* kWizardFolderKey = "Wizard Folder";
inline constexpr const char* kTextFileKey = "Text File";
// What Extract, Load, Save and Write say while the rules-file field is empty.
inline constexpr const char* kChooseRulesFile = "Choose a text file name first.";

class CSettings : public QDialog {
    Q_OBJECT
public:
    // Registers itself as the one "CSettings" window; deletes itself when
    // closed and then clears that entry.
    CSettings(GuiContext& ctx, QWidget* owner);
    ~CSettings() override;

    QLineEdit* gameFolderField() const { return gameFolder_; }
    QLineEdit* rulesFileField() const { return rulesFile_; }
    QProgressBar* progressBar() const { return progress_; }
    // One line under the progress bar saying what the last action did,
    // wrapped onto as many lines as it needs; nullptr before the first
    // action. After a write it names every backup the write made.
    QLabel* statusLine() const { return status_; }

public slots:
    void Extract();
    void WriteBack();
    void Load();
    void Save();
    // "Review Changes": opens the Changes window (or brings it up).
    void ReviewChanges();
    // "Restore Original Game Files...": says which game files get their
    // backup's bytes again and how many values change back, and asks (Cancel
    // is the default); then restores them, and when data is loaded fills the
    // grid with the original game's values (the rules file stays as it is),
    // which clears the undo history, and refills every open window.
    void RestoreOriginalGame();
    // "Mods...": opens the Mods window (or brings it up).
    void OpenMods();
    void reject() override;
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void GameFolderChanged(const QString& text);
    void RulesFileChanged(const QString& text);
    // Writes the store out, so that a failure is told while the user types.
    void StoreSettings();
    void BrowseFolder();
    void BrowseFile();
    // Runs the action with the progress bar and shows its status line;
    // returns whether the grid now holds what was extracted or loaded. The
    // problems a write finds are listed in the write-problems window.
    bool Run(FileAction action);
    // With the rules-file field empty, says kChooseRulesFile and returns
    // true: the action does not run.
    bool RefuseEmptyRulesName();
    // When a dry run of the write finds values it would refuse, asks whether
    // to review them, write the rest, or cancel (the default); true for
    // "Write the Rest" or when nothing would be refused.
    bool ConfirmRefusals();
    // Before the grid is replaced: asks whether to go on when anything is
    // pending; `what` says what replaces it.
    bool ConfirmReplace(const QString& what);
    void ShowStatus(const QString& text);
    // The paths as they stand in the fields now become the session's.
    void TakeFields();

    GuiContext& ctx_;
    QLineEdit* gameFolder_ = nullptr;
    QLineEdit* rulesFile_ = nullptr;
    QProgressBar* progress_ = nullptr;
    StatusLabel* status_ = nullptr;
};

}  // namespace quorvane::gui
