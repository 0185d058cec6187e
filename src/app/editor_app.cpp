#include "app/editor_app.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QSettings>

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
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != window_.get()) windows << w;
    // A window may take others with it; the guards skip those.
    for (const QPointer<QWidget>& w : windows) delete w.data();
}

void CQuorvaneEditorApp::InitInstance() {
    window_ = std::make_unique<CQuorvaneEditorDlg>(ctx_, prompt_);
    window_->Initialise();
    window_->show();
}

int CQuorvaneEditorApp::Run() {
    InitInstance();
    connect(window_.get(), &CQuorvaneEditorDlg::programEnded, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return QApplication::exec();
}

}  // namespace quorvane::gui
