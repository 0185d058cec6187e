#include "app/settings_dialog.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "actions/actions.h"
#include "app/changes_window.h"
#include "app/mods_window.h"
#include "app/file_action.h"
#include "app/main_window.h"
#include "app/progress_bar.h"
#include "app/report_box.h"
#include "app/write_problems.h"
#include "catalogue/catalogue.h"
#include "catalogue/game_file.h"
#include "gui/document.h"
#include "gui/edit_state.h"
#include "gui/placement.h"
#include "gui/status_label.h"
#include "io/file_io.h"
#include "mods/original_game.h"
#include "mods/restore.h"
#include "tables/open_windows.h"
#include "writeback/dry_run.h"

namespace quorvane::gui {

namespace {

constexpr const char* kKind = "CSettings";
constexpr int kSections = 43;

QString StoredPath(QSettings& settings, const char* key) {
    settings.beginGroup(kSettingsGroup);
    const QString value = settings.value(key, QString()).toString();
    settings.endGroup();
    return value;
}

// The first 254 characters of a path field, as the file system spells it.
std::filesystem::path PathFromField(const QString& text) { return PathFromQ(text.left(254)); }

// Stores the first 254 characters of a path field; false when the store
// already held them.
bool StorePath(QSettings& settings, const char* key, const QString& text) {
    settings.beginGroup(kSettingsGroup);
    const bool changed = settings.value(key, QString()).toString() != text.left(254);
    if (changed) settings.setValue(key, text.left(254));
    settings.endGroup();
    return changed;
}

// The backups of the six game files of `folder` that exist now, in the
// order the write opens the files.
std::vector<std::filesystem::path> Backups(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    for (std::filesystem::path file : GameFilePaths(folder)) {
        file += ".bak";
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec)) found.push_back(file);
    }
    return found;
}

// "A", "A and B", "A, B and C".
QString JoinWithAnd(const QStringList& parts) {
    QString out;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        if (k > 0) out += k + 1 == parts.size() ? QStringLiteral(" and ") : QStringLiteral(", ");
        out += parts[k];
    }
    return out;
}

// The problems the write of the rules file would report now, from a dry run
// that writes nothing; the session's sinks and reader state are as before.
std::vector<Problem> DryRunProblems(Session& s) {
    struct Restore {
        Session& s;
        ErrorSink& errors;
        ProgressSink& progress;
        ReaderState reader;
        ~Restore() {
            s.SetErrorSink(errors);
            s.SetProgressSink(progress);
            s.reader = reader;
        }
    } restore{s, s.errors(), s.progress(), s.reader};
    RecordingErrorSink reports;
    NullProgress quiet;
    s.SetErrorSink(reports);
    s.SetProgressSink(quiet);
    DryRunWrite(s);
    return reports.problems;
}

// How many values `problems` keep from being written: the value a problem of
// one value names, every value of the row or section a problem of a whole
// row or section names; each value once.
int RefusedValues(const std::vector<Problem>& problems) {
    std::set<std::tuple<int, int, int>> cells;
    for (const Problem& p : problems) {
        if (p.code != ProblemCode::RecordLine || p.section < 0 || p.section >= kSectionCount) continue;
        const int i = p.section;
        for (int j = 0; j < Rows(i); ++j) {
            if (p.row >= 0 && j != p.row) continue;
            for (int step = 1; step < Columns(i); ++step)
                if (p.column < 1 || step == p.column) cells.insert({i, j, step});
        }
    }
    return static_cast<int>(cells.size());
}

// "1 value", "12,450 values".
QString ValuesText(int n) { return ToQ(GroupedNumber(n)) + (n == 1 ? QStringLiteral(" value") : QStringLiteral(" values")); }

// An edit field with a browse button beside it.
QLineEdit* AddPathRow(QVBoxLayout* column, QWidget* parent, const QString& fieldName, const QString& buttonName,
                      QToolButton** button) {
    auto* row = new QHBoxLayout;
    auto* field = new QLineEdit(parent);
    field->setObjectName(fieldName);
    *button = new QToolButton(parent);
    (*button)->setObjectName(buttonName);
    (*button)->setText(QStringLiteral("..."));
    row->addWidget(field, 1);
    row->addWidget(*button);
    column->addLayout(row);
    return field;
}

}  // namespace

CSettings::CSettings(GuiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
    setObjectName(kKind);
    setWindowTitle(QStringLiteral("Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* column = new QVBoxLayout(this);
    auto* folderLabel = new QLabel(QStringLiteral("Wizards.exe Folder"), this);
    column->addWidget(folderLabel);
    QToolButton* folderBrowse = nullptr;
    gameFolder_ = AddPathRow(column, this, QStringLiteral("gameFolderField"), QStringLiteral("gameFolderBrowse"),
                             &folderBrowse);
    folderLabel->setBuddy(gameFolder_);

    auto* fileLabel = new QLabel(QStringLiteral("Text File Name"), this);
    column->addWidget(fileLabel);
    QToolButton* fileBrowse = nullptr;
    rulesFile_ = AddPathRow(column, this, QStringLiteral("rulesFileField"), QStringLiteral("rulesFileBrowse"),
                            &fileBrowse);
    fileLabel->setBuddy(rulesFile_);

    struct ButtonSpec {
        const char* name;
        const char* text;
        void (CSettings::*slot)();
    };
    static constexpr ButtonSpec kButtons[] = {
        {"extractButton", "Extract From Quorvane Files", &CSettings::Extract},
        {"writeButton", "Write to Quorvane Files", &CSettings::WriteBack},
        {"loadButton", "Load Text File", &CSettings::Load},
        {"saveButton", "Save to Text File", &CSettings::Save},
    };
    QPushButton* writeButton = nullptr;
    for (const ButtonSpec& spec : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(spec.text), this);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, spec.slot);
        column->addWidget(button);
        if (spec.slot == &CSettings::WriteBack) writeButton = button;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(ok);

    // "Review Changes", "Restore Original Game Files..." and "Mods...", under
    // "Write to Quorvane Files". Tool buttons drawn as wide as the push
    // buttons: the dialog's push buttons stay the four actions and "OK".
    static constexpr ButtonSpec kTools[] = {
        {"reviewButton", "Review Changes", &CSettings::ReviewChanges},
        {"restoreButton", "Restore Original Game Files...", &CSettings::RestoreOriginalGame},
        {"modsButton", "Mods...", &CSettings::OpenMods},
    };
    QWidget* above = writeButton;
    for (const ButtonSpec& spec : kTools) {
        auto* tool = new QToolButton(this);
        tool->setObjectName(QString::fromLatin1(spec.name));
        tool->setText(QString::fromLatin1(spec.text));
        tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
        tool->setSizePolicy(QSizePolicy::Expanding, writeButton->sizePolicy().verticalPolicy());
        tool->setMinimumHeight(writeButton->sizeHint().height());
        connect(tool, &QToolButton::clicked, this, spec.slot);
        column->insertWidget(column->indexOf(above) + 1, tool);
        QWidget::setTabOrder(above, tool);
        above = tool;
    }

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setRange(0, kSections);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    column->addWidget(progress_);

    setMinimumWidth(420);

    connect(folderBrowse, &QToolButton::clicked, this, &CSettings::BrowseFolder);
    connect(fileBrowse, &QToolButton::clicked, this, &CSettings::BrowseFile);
    connect(gameFolder_, &QLineEdit::textChanged, this, &CSettings::GameFolderChanged);
    connect(rulesFile_, &QLineEdit::textChanged, this, &CSettings::RulesFileChanged);

    TrackPlacement(ctx_.settings, QString::fromLatin1(kKind), this);

    // Filling the fields counts as a change of each: the rules-file path
    // equals the stored one as soon as the dialog is open.
    gameFolder_->setText(StoredPath(ctx_.settings, kWizardFolderKey));
    rulesFile_->setText(StoredPath(ctx_.settings, kTextFileKey));
    GameFolderChanged(gameFolder_->text());
    RulesFileChanged(rulesFile_->text());

    ctx_.document.AddUndoActions(this);
    ctx_.registry.Register(this);
}

CSettings::~CSettings() { ctx_.registry.Forget(this); }

void CSettings::GameFolderChanged(const QString& text) {
    ctx_.session.gameFolder = PathFromField(text);
    if (StorePath(ctx_.settings, kWizardFolderKey, text)) StoreSettings();
}

void CSettings::RulesFileChanged(const QString& text) {
    ctx_.session.rulesPath = PathFromField(text);
    if (StorePath(ctx_.settings, kTextFileKey, text)) StoreSettings();
}

void CSettings::StoreSettings() {
    // A path typed here is lost at the end of the run when the store cannot
    // be written: the main window says so at once.
    if (auto* main = qobject_cast<CQuorvaneEditorDlg*>(parentWidget())) main->StoreSettings();
}

void CSettings::BrowseFolder() {
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Wizards.exe Folder"), gameFolder_->text());
    if (!dir.isEmpty()) gameFolder_->setText(dir);
}

void CSettings::BrowseFile() {
    // A save-style chooser, so that a rules file still to be written by an
    // extraction can be named as well as an existing one.
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Text File Name"), rulesFile_->text(),
                                                      QString(), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!file.isEmpty()) rulesFile_->setText(file);
}

bool CSettings::Run(FileAction action) {
    if (FileActionRunning()) return false;
    // The actions work on the paths as they stand in the fields now.
    TakeFields();
    BarProgressSink bar(progress_);
    const int loaded = ctx_.session.dataLoaded;
    // A write's problems are listed in one window, not shown one by one;
    // the refusal of a write with nothing loaded stays a report of its own.
    const bool writing = action == FileAction::Write && ctx_.session.grid.GetArrayValue(0, 0, 0) != kNotSet;
    RecordingErrorSink writeReports;
    const std::vector<std::filesystem::path> backupsBefore =
        writing ? Backups(ctx_.session.gameFolder) : std::vector<std::filesystem::path>{};
    const ActionOutcome outcome = RunEditorAction(ctx_, bar, action, writing ? &writeReports : nullptr);
    // A load that could not open its file leaves everything as it was, the
    // data-loaded flag included: Sections and Save go on refusing.
    if (action == FileAction::Load && !outcome.gridReplaced) ctx_.session.dataLoaded = loaded;
    progress_->setValue(0);
    QString status = ReportText(outcome.status);
    if (outcome.historyCleared) status += QStringLiteral(" The undo history was cleared.");
    if (writing) {
        // Every backup this write made, by name.
        QStringList made;
        for (const std::filesystem::path& backup : Backups(ctx_.session.gameFolder))
            if (std::find(backupsBefore.begin(), backupsBefore.end(), backup) == backupsBefore.end())
                made << PathToQ(backup.filename());
        if (!made.isEmpty())
            status += (made.size() == 1 ? QStringLiteral(" Backup made: ") : QStringLiteral(" Backups made: ")) +
                      JoinWithAnd(made) + QLatin1Char('.');
    }
    ShowStatus(status);
    if (writing) {
        std::string rules;
        ReadWholeFile(ctx_.session.rulesPath, &rules);
        ShowWriteProblems(ctx_, PathToQ(ctx_.session.rulesPath.filename()),
                          PlaceWriteProblems(writeReports.problems, rules));
    }
    // No window may keep data older than the grid.
    if (outcome.gridReplaced) RefillOpenWindows(ctx_);
    return outcome.gridReplaced;
}

void CSettings::ShowStatus(const QString& text) {
    // Made with the first action, so that the dialog opens as it always has.
    // It wraps onto as many lines as what it says needs; the dialog's layout
    // keeps them all in view.
    if (!status_) {
        status_ = new StatusLabel(this);
        status_->setObjectName(QStringLiteral("statusLine"));
        layout()->addWidget(status_);
    }
    status_->SetStatus(text);
}

bool CSettings::RefuseEmptyRulesName() {
    if (!rulesFile_->text().trimmed().isEmpty()) return false;
    ctx_.session.Report(kChooseRulesFile);
    ShowStatus(QString::fromLatin1(kChooseRulesFile));
    return true;
}

bool CSettings::ConfirmRefusals() {
    TakeFields();
    const int refused = RefusedValues(DryRunProblems(ctx_.session));
    if (refused == 0) return true;
    const QString text = QStringLiteral("%1 values will not be written (out of range, unreadable...).").arg(refused);
    switch (AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Review"), QStringLiteral("Write the Rest"),
                        /*cancelIsDefault=*/true)) {
    case Answer::First:
        ReviewChanges();
        return false;
    case Answer::Second:
        return true;
    case Answer::Cancel:
        return false;
    }
    return false;
}

bool CSettings::ConfirmReplace(const QString& what) {
    const PendingEdits pending = FindPendingEdits(ctx_);
    if (!pending.Any()) return true;
    const QString text = PendingText(pending) + QStringLiteral("\n") + what + QStringLiteral(" Continue?");
    return AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Continue"), QString()) == Answer::First;
}

void CSettings::Extract() {
    if (FileActionRunning() || RefuseEmptyRulesName() ||
        !ConfirmReplace(QStringLiteral("Extracting from the game files replaces them.")))
        return;
    Run(FileAction::Extract);
}

void CSettings::Load() {
    if (FileActionRunning() || RefuseEmptyRulesName() ||
        !ConfirmReplace(QStringLiteral("Loading the text file replaces them.")))
        return;
    Run(FileAction::Load);
}

void CSettings::Save() {
    if (FileActionRunning()) return;
    // Before any load or extraction the grid holds nothing but "Not Set":
    // saving it would replace the rules file with that.
    if (!ctx_.session.IsLoaded()) {
        ctx_.session.Report(kSectionsRefusal, "\n", kGetDataIn);
        ShowStatus(QStringLiteral("Nothing was saved: no data has been loaded or extracted yet."));
        return;
    }
    if (RefuseEmptyRulesName()) return;
    const PendingEdits pending = FindPendingEdits(ctx_);
    if (pending.InWindows()) {
        PendingEdits inWindows = pending;
        inWindows.grid = false;
        const QString text = PendingText(inWindows) + QStringLiteral("\nSave them too?");
        switch (AskQuestion(this, text, QMessageBox::Save, QString(), QStringLiteral("Save Without Them"))) {
        case Answer::First:
            if (!StorePendingEdits(ctx_)) return;
            break;
        case Answer::Second:
            break;
        case Answer::Cancel:
            return;
        }
    }
    Run(FileAction::Save);
}

void CSettings::WriteBack() {
    if (FileActionRunning()) return;
    // With no data loaded or extracted the write is refused at once: there is
    // nothing to ask about and nothing to save first.
    if (ctx_.session.grid.GetArrayValue(0, 0, 0) == kNotSet) {
        Run(FileAction::Write);
        return;
    }
    if (RefuseEmptyRulesName()) return;
    const PendingEdits pending = FindPendingEdits(ctx_);
    if (pending.Any()) {
        const QString text = PendingText(pending) +
                             QStringLiteral("\nWriting uses the text file as it is now. Save them to it first?");
        switch (AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Save and Write"),
                            QStringLiteral("Write As It Is"))) {
        case Answer::First:
            if (!StorePendingEdits(ctx_)) return;
            Run(FileAction::Save);
            // A save that failed leaves the edits unsaved; nothing is written.
            if (ctx_.document.HasUnsavedEdits()) return;
            break;
        case Answer::Second:
            break;
        case Answer::Cancel:
            return;
        }
    }
    // Values the write would refuse are told before anything is written.
    if (!ConfirmRefusals()) return;
    Run(FileAction::Write);
}

void CSettings::TakeFields() {
    ctx_.session.gameFolder = PathFromField(gameFolder_->text());
    ctx_.session.rulesPath = PathFromField(rulesFile_->text());
}

void CSettings::ReviewChanges() {
    if (FileActionRunning()) return;
    TakeFields();
    OpenChangesWindow(ctx_);
}

void CSettings::OpenMods() {
    if (FileActionRunning()) return;
    TakeFields();
    OpenModsWindow(ctx_);
}

void CSettings::RestoreOriginalGame() {
    if (FileActionRunning()) return;
    TakeFields();
    // What a restore would do, asked before anything is written; the lines
    // say what it found, and the restore itself reports its problems.
    RecordingErrorSink found;
    const RestoreResult dry = quorvane::RestoreOriginalGame(ctx_.session.gameFolder, found, /*dryRun=*/true);
    if (!dry.ran) {
        for (const std::string& text : found.texts) ctx_.session.errors().Report(text);
        ShowStatus(QStringLiteral("Nothing was restored."));
        return;
    }
    QStringList lines;
    bool any = false;
    for (const RestoreFile& file : dry.files) {
        lines << ToQ(RestoreLine(file, true));
        any = any || (file.backupRead && !file.identical);
    }
    if (!any) {
        ShowStatus(QStringLiteral("Nothing was restored: no game file differs from a backup of it. ") +
                   lines.join(QLatin1Char(' ')));
        return;
    }
    // The grid is filled again with the original game's values: what the
    // windows hold that is not in the rules file is dropped.
    const bool loaded = ctx_.session.IsLoaded();
    QString text = QStringLiteral("Restore the original game files from their backups?\n\n") +
                   lines.join(QLatin1Char('\n')) + QStringLiteral("\n\nIn all, %1 %2 back. The backups stay.")
                                                        .arg(ValuesText(dry.Values()),
                                                             dry.Values() == 1 ? QStringLiteral("changes")
                                                                               : QStringLiteral("change"));
    if (loaded) {
        text += QStringLiteral(" The editor then holds the original game's values; the text file is left as it is.");
        const PendingEdits pending = FindPendingEdits(ctx_);
        if (pending.Any()) text += QStringLiteral("\n") + PendingText(pending) + QStringLiteral(" They are dropped.");
    }
    if (AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Restore"), QString(), true) != Answer::First)
        return;

    RestoreResult result;
    bool refilled = false;
    NullProgress none;
    // Not a save: the grid's saved state is the document's to settle.
    RunFileAction(ctx_.session, none, [&](Session& s) {
        result = quorvane::RestoreOriginalGame(s.gameFolder, s.errors(), /*dryRun=*/false);
        if (result.ran && loaded) refilled = LoadOriginalGame(s);
    });
    int files = 0, values = 0;
    for (const RestoreFile& file : result.files) {
        if (!file.restored) continue;
        ++files;
        values += file.values;
    }
    QString status = QStringLiteral("Restored %1 from their backups: %2 changed back.")
                         .arg(CountOf(files, "game file", "game files"), ValuesText(values));
    if (!result.ran) status = QStringLiteral("Nothing was restored.");
    if (refilled) {
        status += QStringLiteral(" The editor holds the original game's values; the text file was left as it was.");
        if (ctx_.document.GridReplaced(/*saved=*/false)) status += QStringLiteral(" The undo history was cleared.");
        RefillOpenWindows(ctx_);
    }
    ctx_.document.FilesChanged();
    ShowStatus(status);
}

void CSettings::reject() {
    if (FileActionRunning()) return;
    QDialog::reject();
}

void CSettings::done(int result) {
    // Closed, the dialog may be opened again at once, before its deferred
    // deletion has run.
    ctx_.registry.Forget(this);
    QDialog::done(result);
}

void CSettings::closeEvent(QCloseEvent* event) {
    // A file action runs to its end; the dialog stays until it has.
    if (FileActionRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quorvane::gui
