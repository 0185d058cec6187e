// CQuorvaneEditorApp: the application object. Owns everything the windows
// share (the session, the settings store, the open-window registry, the
// report and progress sinks), the main window, and every other window of the
// program: they are destroyed before what they share.
#pragma once

#include <QObject>
#include <QSettings>

#include <memory>

#include "gui/document.h"
#include "gui/gui_context.h"
#include "app/main_window.h"
#include "app/report_box.h"



namespace quorvane::gui {

class CQuorvaneEditorApp : public QObject {
    Q_OBJECT
public:
    // Without a settings store of its own the per-user store of organization
    // "Quorvane Editor By Ostwin" is used. Tests hand in a temporary store, a
    // recording report box and a scripted save prompt.
    explicit CQuorvaneEditorApp(std::unique_ptr<QSettings> settings = {}, ReportBoxFunction showReport = ShowReportBox,
                                SavePrompt prompt = AskToSaveEdits);
    ~CQuorvaneEditorApp() override;

    // Creates the main window, restores its placement, opens the debug log
    // and shows the window. From then on the event loop ends when the main
    // window has closed.
    void InitInstance();
    // InitInstance, then runs until the main window closes; the exit code.
    int Run();

    GuiContext& context() { return ctx_; }
    Document& document() { return document_; }
    Session& session() { return session_; }
    QSettings& settings() { return *settings_; }
    BoxErrorSink& reports() { return reports_; }
    CQuorvaneEditorDlg* mainWindow() const { return window_.get(); }

private:
    // Deletes every top-level window but the main window.
    void CloseEveryWindow();
    // The main window has closed, its pending edits settled: every other
    // window goes off the screen and the event loop ends.
    void EndProgram();

    BoxErrorSink reports_;
    NullProgress noProgress_;
    Session session_;
    std::unique_ptr<QSettings> settings_;
    WindowRegistry registry_;
    Document document_;
    GuiContext ctx_;
    SavePrompt prompt_;
    std::unique_ptr<CQuorvaneEditorDlg> window_;
};

}  // namespace quorvane::gui
