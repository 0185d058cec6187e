#include "app/editor_app.h"

#include <QApplication>
#include <QSettings>

#include "gui/placement.h"

namespace quorvane::gui {

CQuorvaneEditorApp::CQuorvaneEditorApp(std::unique_ptr<QSettings> settings, ReportBoxFunction showReport,
                                       SavePrompt prompt)
    : reports_(std::move(showReport)),
      session_(reports_, noProgress_),
      settings_(settings ? std::move(settings) : std::make_unique<QSettings>(kOrganization, kApplication)),
      ctx_{session_, *settings_, registry_},
      prompt_(std::move(prompt)) {
    setObjectName(QStringLiteral("CQuorvaneEditorApp"));
}

CQuorvaneEditorApp::~CQuorvaneEditorApp() {
    // The main window and the dialogs it owns go first: they save their
    // placement and clear their registry entries on the way out.
    window_.reset();
    settings_->sync();
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
