#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "actions/actions.h"
#include "app/artwork.h"
#include "app/file_action.h"
#include "gui/document.h"
#include "gui/placement.h"
#include "app/progress_bar.h"
#include "app/settings_dialog.h"
#include "tables/open_windows.h"
#include "tables/section_chooser.h"

namespace quorvane::gui {

namespace {

// 446 x 345 dialog units of the classic dialog font, in pixels.
constexpr int kDefaultWidth = 670;
constexpr int kDefaultHeight = 560;

}  // namespace

QMessageBox::StandardButton AskToSaveEdits(QWidget* window) {
    const auto* main = qobject_cast<const CQuorvaneEditorDlg*>(window);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvane Editor"),
                    main ? main->quitQuestion() : QStringLiteral("Save the changes before quitting?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
    box.setDefaultButton(QMessageBox::Save);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QDialog* CreateAboutBox(QWidget* parent) {
    auto* box = new QDialog(parent);
    box->setObjectName(QStringLiteral("CAboutDlg"));
    box->setWindowTitle(QStringLiteral("About Quorvane Editor"));
    box->setModal(true);

    auto* icon = new QLabel(box);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(EditorIcon().pixmap(48, 48));
    auto* text = new QLabel(QStringLiteral("Quorvane Editor v0.25"), box);
    text->setObjectName(QStringLiteral("aboutText"));
    auto* ok = new QPushButton(QStringLiteral("OK"), box);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout(box);
    column->addLayout(row);
    box->setFixedSize(box->sizeHint().expandedTo(QSize(320, 90)));
    return box;
}

BackgroundView::BackgroundView(QWidget* parent) : QWidget(parent), picture_(BackgroundPicture()) {
    setObjectName(QStringLiteral("background"));
    // The picture covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent, !picture_.isNull());
}

void BackgroundView::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_);
}

CQuorvaneEditorDlg::CQuorvaneEditorDlg(GuiContext& ctx, SavePrompt prompt)
    : QMainWindow(nullptr), ctx_(ctx), prompt_(std::move(prompt)) {
    setObjectName(QStringLiteral("CQuorvaneEditorDlg"));
    setWindowTitle(QStringLiteral("Quorvane Editor"));
    setWindowIcon(EditorIcon());
    resize(kDefaultWidth, kDefaultHeight);

    background_ = new BackgroundView(this);
    setCentralWidget(background_);

    // Four plain commands on the bar itself, no drop-down menus. A global
    // menu bar (some Linux desktops, macOS) shows only drop-down menus, so
    // the bar always stays in the window.
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    settings_ = bar->addAction(QStringLiteral("Settings"), this, &CQuorvaneEditorDlg::OnSettings);
    sections_ = bar->addAction(QStringLiteral("Sections"), this, &CQuorvaneEditorDlg::OnSections);
    quit_ = bar->addAction(QStringLiteral("Quit"), this, &CQuorvaneEditorDlg::OnQuit);
    about_ = bar->addAction(QStringLiteral("About"), this, &CQuorvaneEditorDlg::OnAbout);
    // Alt and a letter of each command's name runs it. The letters are bound
    // as shortcuts rather than marked with '&' in the texts, so the texts stay
    // exactly "Settings", "Sections", "Quit" and "About" wherever they are read.
    settings_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    sections_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_E));
    // Settings and Sections come forward from any window of the editor (a
    // question box still takes its own keys first).
    settings_->setShortcutContext(Qt::ApplicationShortcut);
    sections_->setShortcutContext(Qt::ApplicationShortcut);
    quit_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Q));
    about_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    settings_->setObjectName(QStringLiteral("settingsCommand"));
    sections_->setObjectName(QStringLiteral("sectionsCommand"));
    quit_->setObjectName(QStringLiteral("quitCommand"));
    about_->setObjectName(QStringLiteral("aboutCommand"));
    // A table closed or a form saved is undone from here too.
    ctx_.document.AddUndoActions(this);
    connect(&ctx_.document, &Document::editsChanged, this, &CQuorvaneEditorDlg::RefreshTitle);
    ctx_.registry.Register(this);
}

CQuorvaneEditorDlg::~CQuorvaneEditorDlg() {
    SavePlacement(ctx_.settings, QString::fromLatin1(kMainWindowSection), this);
    ctx_.registry.Forget(this);
}

void CQuorvaneEditorDlg::RefreshTitle() {
    // The placeholder is in the title only while the mark is shown. A table
    // holding edits not stored yet marks it too, also while it is hidden.
    if (ctx_.document.HasUnsavedEdits() || !ctx_.document.SectionsWithPending().empty()) {
        setWindowTitle(QStringLiteral("Quorvane Editor[*]"));
        setWindowModified(true);
    } else {
        setWindowModified(false);
        setWindowTitle(QStringLiteral("Quorvane Editor"));
    }
}

void CQuorvaneEditorDlg::StoreSettings() {
    ctx_.settings.sync();
    if (ctx_.settings.status() == QSettings::NoError || settingsFailureReported_) return;
    settingsFailureReported_ = true;
    ctx_.session.Report("The settings could not be written to ", PathFromQ(ctx_.settings.fileName()),
                        "; changes to them will be lost when the editor ends.");
}

void CQuorvaneEditorDlg::Initialise() {
    RestorePlacement(ctx_.settings, QString::fromLatin1(kMainWindowSection), this);
    if (!ctx_.session.log.Open(kDebugLogName)) ctx_.session.Report("Error opening ", kDebugLogName);
}

void CQuorvaneEditorDlg::OnSettings() {
    if (FileActionRunning()) return;
    if (QWidget* open = ctx_.registry.Find(QStringLiteral("CSettings"))) {
        BringToFront(open);
        return;
    }
    auto* dialog = new CSettings(ctx_, this);
    dialog->show();
}

void CQuorvaneEditorDlg::OnSections() {
    if (FileActionRunning()) return;
    if (!ctx_.session.IsLoaded()) {
        ctx_.session.Report(kSectionsRefusal, "\n", kGetDataIn);
        return;
    }
    OpenSectionChooser(ctx_, this);
}

void CQuorvaneEditorDlg::OnQuit() {
    if (FileActionRunning()) return;
    SavePlacement(ctx_.settings, QString::fromLatin1(kMainWindowSection), this);
    close();
}

void CQuorvaneEditorDlg::OnAbout() {
    if (FileActionRunning()) return;
    QDialog* box = CreateAboutBox(this);
    box->exec();
    delete box;
}

bool CQuorvaneEditorDlg::SettleUnsavedEdits() {
    const PendingEdits pending = FindPendingEdits(ctx_);
    if (!pending.Any()) return true;
    quitQuestion_ = PendingText(pending) + QStringLiteral("\nSave them before quitting?");
    switch (prompt_(this)) {
    case QMessageBox::Discard:
        return true;
    case QMessageBox::Save: {
        // Edit dialogs into their tables, forms and tables into the grid,
        // then the grid into the rules file; any failure keeps the program
        // running.
        if (!StorePendingEdits(ctx_)) return false;
        auto* settings = qobject_cast<CSettings*>(ctx_.registry.Find(QStringLiteral("CSettings")));
        BarProgressSink bar(settings ? settings->progressBar() : nullptr);
        return RunEditorAction(ctx_, bar, FileAction::Save).saved;
    }
    default:
        return false;
    }
}

void CQuorvaneEditorDlg::closeEvent(QCloseEvent* event) {
    if (FileActionRunning() || !SettleUnsavedEdits()) {
        event->ignore();
        return;
    }
    SavePlacement(ctx_.settings, QString::fromLatin1(kMainWindowSection), this);
    StoreSettings();
    event->accept();
    emit programEnded();
}

}  // namespace quorvane::gui
