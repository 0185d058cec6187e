#include "app/editor_app.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QSettings>
#include <QThread>

#include "gui/placement.h"
#include "tables/open_windows.h"

namespace quorvane::gui {

CQuorvaneEditorApp::CQuorvaneEditorApp(std::unique_ptr<QSettings> settings, ReportBoxFunction showReport,
                                       SavePrompt prompt)
    : reports_(std::move(showReport)),
      session_(reports_, noProgress_),
      settings_(settings ? std::move(settings) : std::make_unique<QSettings>(QString::fromLatin1(kOrganization), QString::fromLatin1(kApplication))),
      document_(session_),
      ctx_{session_, *settings_, registry_, document_},
      prompt_(std::move(prompt)) {
    setObjectName(QStringLiteral("CQuorvaneEditorApp"));
    ConnectSectionWindows(ctx_);
}

CQuorvaneEditorApp::~CQuorvaneEditorApp() {
    // Every window of the program works on this object's session, settings
    // and registry, so every one goes before they do: tables, edit dialogs,
    // help tabs and forms first (shown or hidden), then the main window with
    // the dialogs it holds. Each saves its placement and clears its registry
    // entry on the way out.
    CloseEveryWindow();
    window_.reset();
    settings_->sync();
}

void CQuorvaneEditorApp::CloseEveryWindow() {
    // Only windows of their own: one with a parent (a drop-down's list, a
    // dialog the main window holds) goes with that parent, which may still
    // use it on the way out.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != window_.get() && !w->parentWidget()) windows << w;
    // A window may take others with it; the guards skip those.
    for (const QPointer<QWidget>& w : windows) delete w.data();
}

void CQuorvaneEditorApp::InitInstance() {
    window_ = std::make_unique<CQuorvaneEditorDlg>(ctx_, prompt_);
    connect(window_.get(), &CQuorvaneEditorDlg::programEnded, this, &CQuorvaneEditorApp::EndProgram);
    window_->Initialise();
    window_->show();
}

void CQuorvaneEditorApp::EndProgram() {
    // QCoreApplication::quit() would first close every window and give up
    // when one refuses, as a table does (it hides instead), leaving the
    // program running without its main window. The questions have been
    // asked; the other windows are hidden now, deleted with this object,
    // and the loop is ended unconditionally. (With no loop running there is
    // nothing to end, and exit() would make the next loop return at once.)
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != window_.get()) w->hide();
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

int CQuorvaneEditorApp::Run() {
    InitInstance();
    return QApplication::exec();
}

}  // namespace quorvane::gui
