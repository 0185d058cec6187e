// CQuorvaneEditorDlg: the main window. A background picture under a menu bar
// of four commands: "Settings", "Sections", "Quit", "About".
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPixmap>

#include <functional>

#include "gui/gui_context.h"

class QAction;
class QDialog;

namespace quorvane::gui {

// Asked when the program is about to end while edits are pending (in the grid
// and not saved, or in open windows and not in the grid): Save, Discard or
// Cancel. The main window's quitQuestion() is the text to ask.
using SavePrompt = std::function<QMessageBox::StandardButton(QWidget* window)>;
QMessageBox::StandardButton AskToSaveEdits(QWidget* window);

inline constexpr const char* kMainWindowSection = "CQuorvaneEditorApp";

// The line under "You Have Not Loaded A Data File." saying how to get data in.
inline constexpr const char* kGetDataIn = "Choose Settings, then Extract From Quorvane Files or Load Text File.";

// The modal About box: caption "About Quorvane Editor", the icon, the text
// "Quorvane Editor v0.25" and an "OK" button.
QDialog* CreateAboutBox(QWidget* parent);

// The client area: the background picture stretched over all of it.
class BackgroundView : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundView(QWidget* parent);
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

class CQuorvaneEditorDlg : public QMainWindow {
    Q_OBJECT
public:
    CQuorvaneEditorDlg(GuiContext& ctx, SavePrompt prompt = AskToSaveEdits);
    ~CQuorvaneEditorDlg() override;

    // Restores the placement and opens the debug log in the current
    // directory, reporting "Error opening " and its name when it cannot.
    void Initialise();

    QAction* settingsAction() const { return settings_; }
    QAction* sectionsAction() const { return sections_; }
    QAction* quitAction() const { return quit_; }
    QAction* aboutAction() const { return about_; }
    BackgroundView* background() const { return background_; }
    // The text of the quit question: what is pending, and "Save them before
    // quitting?".
    QString quitQuestion() const { return quitQuestion_; }

signals:
    // The main window has closed: the program is to end with exit code 0.
    void programEnded();

public slots:
    // The four commands. Each does nothing while a file action runs: the
    // window is disabled then, but an accessibility tool can still trigger
    // a menu item. Alt+S (Settings) and Alt+E (Sections) work from every
    // window of the editor, bringing an open one forward with the focus.
    void OnSettings();
    void OnSections();
    void OnQuit();
    void OnAbout();
    // The title carries the modified mark while the grid holds edits not
    // saved to the rules file, or a table (shown or hidden) holds edits not
    // stored yet.
    void RefreshTitle();
    // Writes the settings store out now. When it cannot be written, says so
    // the first time in this run, naming its file.
    void StoreSettings();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Offers to save unsaved edits; false when the program must keep running.
    bool SettleUnsavedEdits();

    GuiContext& ctx_;
    SavePrompt prompt_;
    BackgroundView* background_ = nullptr;
    QAction* settings_ = nullptr;
    QAction* sections_ = nullptr;
    QAction* quit_ = nullptr;
    QAction* about_ = nullptr;
    QString quitQuestion_;
    bool settingsFailureReported_ = false;
};

}  // namespace quorvane::gui
