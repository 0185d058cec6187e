#include "app/mods_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <set>
#include <system_error>

#include "actions/actions.h"
#include "app/main_window.h"
#include "catalogue/catalogue.h"
#include "gui/document.h"
#include "gui/edit_state.h"
#include "gui/edit_step.h"
#include "gui/mod_plan_model.h"
#include "gui/placement.h"
#include "gui/report_sinks.h"
#include "io/file_io.h"
#include "io/path_text.h"
#include "mods/original_game.h"
#include "tables/open_windows.h"

namespace quorvane::gui {

namespace {

constexpr const char* kModsGroup = "Mods";
constexpr const char* kLoadOrderKey = "Load Order";
constexpr const char* kModFilter = "Mod files (*.qmod);;All files (*)";
// A broken mod file is told in one report with at most this many problems.
constexpr std::size_t kProblemsShown = 20;

QString Kind() { return QString::fromLatin1(kModsClass); }

QPushButton* NewButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QTableView* NewList(QWidget* parent, const char* name, QAbstractItemModel* model) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

// A mod's free texts are UTF-8.
QString FreeText(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Changes(std::size_t n) { return CountOf(static_cast<int>(n), "change", "changes"); }

}  // namespace

CMods::CMods(GuiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
    setObjectName(kModsClass);
    setWindowTitle(QStringLiteral("Mods"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* listLabel =
        new QLabel(QStringLiteral("Mod files in load order (where two change a value differently, the later one wins):"),
                   this);
    layout->addWidget(listLabel);
    auto* listRow = new QHBoxLayout;
    listModel_ = new TextTableModel({QStringLiteral("Mod"), QStringLiteral("Changes"), QStringLiteral("File")}, this);
    modList_ = NewList(this, "modList", listModel_);
    listLabel->setBuddy(modList_);
    listRow->addWidget(modList_, 1);
    auto* listButtons = new QVBoxLayout;
    QPushButton* add = NewButton(this, "add", "Add...");
    remove_ = NewButton(this, "remove", "Remove");
    up_ = NewButton(this, "moveUp", "Move Up");
    down_ = NewButton(this, "moveDown", "Move Down");
    for (QPushButton* b : {add, remove_, up_, down_}) listButtons->addWidget(b);
    listButtons->addStretch(1);
    listRow->addLayout(listButtons);
    layout->addLayout(listRow, 1);

    conflictsOnly_ = new QCheckBox(QStringLiteral("Conflicts only"), this);
    conflictsOnly_->setObjectName(QStringLiteral("conflictsOnly"));
    layout->addWidget(conflictsOnly_);

    model_ = new ModPlanModel(this);
    filter_ = new QSortFilterProxyModel(this);
    filter_->setSourceModel(model_);
    filter_->setFilterRole(ModPlanModel::kConflictRole);
    changes_ = NewList(this, "changes", filter_);
    layout->addWidget(changes_, 3);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("countLine"));
    count_->setTextFormat(Qt::PlainText);
    count_->setWordWrap(true);
    layout->addWidget(count_);
    status_ = new StatusLabel(this);
    status_->setObjectName(QStringLiteral("statusLine"));
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    QPushButton* apply = NewButton(this, "applyToEditor", "Apply to Editor");
    QPushButton* exportMine = NewButton(this, "exportMyChanges", "Export My Changes...");
    QPushButton* close = NewButton(this, "closeTab", "Close Tab");
    buttons->addWidget(apply);
    buttons->addWidget(exportMine);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &CMods::Add);
    connect(remove_, &QPushButton::clicked, this, &CMods::Remove);
    connect(up_, &QPushButton::clicked, this, &CMods::MoveUp);
    connect(down_, &QPushButton::clicked, this, &CMods::MoveDown);
    connect(apply, &QPushButton::clicked, this, &CMods::ApplyToEditor);
    connect(exportMine, &QPushButton::clicked, this, &CMods::ExportMyChanges);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(conflictsOnly_, &QCheckBox::toggled, this,
            [this](bool on) { filter_->setFilterFixedString(on ? QStringLiteral("1") : QString()); });
    connect(modList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CMods::UpdateButtons);
    connect(listModel_, &QAbstractItemModel::modelReset, this, &CMods::UpdateButtons);

    // The editor's values are compared as they stand: every step and every
    // file action plans again; Apply to Editor is undone from here too.
    connect(&ctx_.document, &Document::cellsChanged, this, &CMods::ScheduleReplan);
    connect(&ctx_.document, &Document::gridChanged, this, &CMods::ScheduleReplan);
    connect(&ctx_.document, &Document::gridReset, this, &CMods::ScheduleReplan);
    connect(&ctx_.document, &Document::filesChanged, this, [this] {
        originalStale_ = true;
        ScheduleReplan();
    });
    ctx_.document.AddUndoActions(this);

    // The list of the last run; a file that can no longer be read is
    // reported and left out.
    ctx_.settings.beginGroup(kModsGroup);
    const QStringList stored = ctx_.settings.value(kLoadOrderKey).toStringList();
    ctx_.settings.endGroup();
    for (const QString& path : stored) {
        Mod mod;
        QString notes;
        if (!ReadModFile(PathFromQ(path), &mod, &notes)) continue;
        files_.push_back(PathFromQ(path));
        mods_.push_back(std::move(mod));
    }

    resize(980, 600);
    TrackPlacement(ctx_.settings, Kind(), this);
    ctx_.registry.Register(this);
    ListChanged();
}

CMods::~CMods() { ctx_.registry.Forget(this); }

bool CMods::ReadModFile(const std::filesystem::path& file, Mod* mod, QString* notes) {
    std::string text;
    if (!ReadWholeFile(file, &text)) {
        ctx_.session.Report("Error opening ", file);
        return false;
    }
    ModRead read = ReadMod(text);
    const std::string name = PathText(file);
    if (!read.Readable()) {
        // One report for the file: its problems by line, as the command line
        // lists them.
        std::string report;
        for (std::size_t k = 0; k < read.problems.size() && k < kProblemsShown; ++k)
            report += name + ": " + read.problems[k] + "\n";
        if (read.problems.size() > kProblemsShown)
            report += CappedErrorSink::SummaryText(static_cast<qsizetype>(read.problems.size() - kProblemsShown))
                          .toStdString() +
                      "\n";
        ctx_.session.errors().Report(report + "Nothing was applied from " + name + ".");
        return false;
    }
    QStringList said;
    for (const std::string& note : read.notes) said << ReportText(note);
    *notes = said.join(QLatin1Char(' '));
    *mod = std::move(read.mod);
    return true;
}

bool CMods::AddMod(const std::filesystem::path& file) {
    const QString name = PathToQ(file.filename());
    for (const std::filesystem::path& listed : files_) {
        std::error_code ec;
        if (listed == file || std::filesystem::equivalent(listed, file, ec)) {
            ShowStatus(name + QStringLiteral(" is in the list already."));
            return false;
        }
    }
    Mod mod;
    QString notes;
    if (!ReadModFile(file, &mod, &notes)) {
        ShowStatus(name + QStringLiteral(" was not added."));
        return false;
    }
    const std::size_t changes = mod.changes.size();
    files_.push_back(file);
    mods_.push_back(std::move(mod));
    ListChanged();
    SelectMod(static_cast<int>(mods_.size()) - 1);
    ShowStatus(QStringLiteral("Added %1: %2.").arg(name, Changes(changes)) +
               (notes.isEmpty() ? QString() : QLatin1Char(' ') + notes));
    return true;
}

void CMods::Add() {
    const QString start = PathToQ(files_.empty() ? ctx_.session.gameFolder : files_.back().parent_path());
    const QStringList paths =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Add Mods"), start, QString::fromLatin1(kModFilter));
    for (const QString& path : paths) AddMod(PathFromQ(path));
}

int CMods::SelectedMod() const {
    const QModelIndexList rows = modList_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CMods::SelectMod(int row) {
    if (row < 0 || row >= static_cast<int>(mods_.size())) return;
    modList_->selectRow(row);
    UpdateButtons();
}

void CMods::Remove() {
    const int row = SelectedMod();
    if (row < 0) return;
    const QString name = PathToQ(files_[static_cast<std::size_t>(row)].filename());
    files_.erase(files_.begin() + row);
    mods_.erase(mods_.begin() + row);
    ListChanged();
    SelectMod(std::min(row, static_cast<int>(mods_.size()) - 1));
    ShowStatus(QStringLiteral("Removed %1.").arg(name));
}

void CMods::Move(int by) {
    const int row = SelectedMod();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(mods_.size())) return;
    std::swap(files_[static_cast<std::size_t>(row)], files_[static_cast<std::size_t>(to)]);
    std::swap(mods_[static_cast<std::size_t>(row)], mods_[static_cast<std::size_t>(to)]);
    ListChanged();
    SelectMod(to);
}

void CMods::MoveUp() { Move(-1); }

void CMods::MoveDown() { Move(1); }

void CMods::UpdateButtons() {
    const int row = SelectedMod();
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < static_cast<int>(mods_.size()));
}

void CMods::ListChanged() {
    QList<QStringList> rows;
    QStringList paths;
    for (std::size_t k = 0; k < mods_.size(); ++k) {
        paths << PathToQ(files_[k]);
        rows << QStringList{FreeText(mods_[k].name), QString::number(mods_[k].changes.size()), paths.back()};
    }
    listModel_->SetRows(std::move(rows));
    modList_->resizeColumnsToContents();
    ctx_.settings.beginGroup(kModsGroup);
    ctx_.settings.setValue(kLoadOrderKey, paths);
    ctx_.settings.endGroup();
    Replan();
}

void CMods::ScheduleReplan() {
    if (replanScheduled_) return;
    replanScheduled_ = true;
    QTimer::singleShot(0, this, &CMods::Replan);
}

const OriginalGame& CMods::Original() {
    if (!original_ || originalStale_ || originalFolder_ != ctx_.session.gameFolder) {
        RecordingErrorSink found;
        original_ = std::make_unique<OriginalGame>(ReadOriginalGame(ctx_.session.gameFolder, found));
        originalProblems_ = std::move(found.texts);
        originalFolder_ = ctx_.session.gameFolder;
        originalStale_ = false;
    }
    return *original_;
}

void CMods::Replan() {
    replanScheduled_ = false;
    const bool loaded = ctx_.session.IsLoaded();
    const OriginalGame& original = Original();
    QStringList names;
    for (const Mod& mod : mods_) names << FreeText(mod.name);
    ModPlan plan;
    if (!loaded) {
        // Nothing to compare with but the original game: the mods' conflicts
        // with each other are still shown.
        plan = PlanMods(mods_, original.values, original.values);
    } else if (ctx_.document.SectionsWithPending().empty()) {
        plan = PlanMods(mods_, ctx_.session.grid, original.values);
    } else {
        // The values as the tables show them, pending edits included.
        ValueGrid shown;
        for (int cell = 0; cell < kInUseCells; ++cell) {
            const std::optional<std::string>& pending = ctx_.document.PendingText(cell);
            shown.SetCell(cell, pending ? std::string_view(*pending) : ctx_.session.grid.Cell(cell));
        }
        plan = PlanMods(mods_, shown, original.values);
    }
    ModSummary sum;
    for (const ModSummary& s : plan.summaries) {
        sum.applied += s.applied;
        sum.alreadyThere += s.alreadyThere;
        sum.conflicts += s.conflicts;
        sum.overridden += s.overridden;
    }
    const std::size_t changes = plan.entries.size(), differ = plan.conflicts.size();
    model_->SetPlan(std::move(plan), names, loaded);
    changes_->resizeColumnsToContents();

    QString text;
    if (!loaded)
        text = QStringLiteral("No data has been loaded or extracted yet: the changes are compared with the original game. ");
    if (mods_.empty()) {
        text += QStringLiteral("No mod files are listed: add them with Add...");
    } else {
        text += QStringLiteral("%1: %2 apply, %3 already there, %4 in conflict with your values, %5 overridden by a "
                               "later mod.")
                    .arg(Changes(changes))
                    .arg(sum.applied)
                    .arg(sum.alreadyThere)
                    .arg(sum.conflicts)
                    .arg(sum.overridden);
        if (differ > 0)
            text += QStringLiteral(" %1 two or more mods change differently: the change marked Wins is the one "
                                   "that counts.")
                        .arg(CountOf(static_cast<int>(differ), "value", "values"));
    }
    if (!originalProblems_.empty())
        text += QStringLiteral(" The original game could not be read whole: ") + ReportText(originalProblems_.front());
    count_->setText(text);
}

void CMods::Refresh() {
    originalStale_ = true;
    Replan();
}

void CMods::ShowStatus(const QString& text) { status_->SetStatus(text); }

bool CMods::RefuseWithoutData(const QString& what) {
    if (ctx_.session.IsLoaded()) return false;
    ctx_.session.Report(kSectionsRefusal, "\n", kGetDataIn);
    ShowStatus(what + QStringLiteral(": no data has been loaded or extracted yet."));
    return true;
}

void CMods::ApplyToEditor() {
    if (RefuseWithoutData(QStringLiteral("Nothing was applied"))) return;
    // Against the editor's values as they are now.
    Replan();
    // One step of the history: a record section's values become pending
    // edits of its table, a constant's go into the grid, as a form saves.
    EditBuilder step(ctx_.document, QStringLiteral("Apply Mods"));
    std::set<int> cells;
    for (const ModEntry& e : model_->plan().entries) {
        if (e.status != ModStatus::Applies || ctx_.document.Shown(e.i, e.j, e.step) == e.modValue) continue;
        if (e.i < kTableSections) step.Show(e.i, e.j, e.step, e.modValue);
        else step.Store(e.i, e.j, e.step, e.modValue);
        cells.insert(CellIndex(e.i, e.j, e.step));
    }
    if (!step.Push()) {
        ShowStatus(QStringLiteral("Nothing to apply: no change of the listed mods applies to the editor's values."));
        return;
    }
    ShowStatus(QStringLiteral("Applied %1 to the editor in one step (Undo takes them back). The tables show theirs "
                              "as pending edits; review them, then save and write as usual.")
                   .arg(Changes(cells.size())));
}

void CMods::ExportMyChanges() {
    if (RefuseWithoutData(QStringLiteral("Nothing was exported"))) return;
    const std::filesystem::path folder = ctx_.session.rulesPath.parent_path();
    const QString start = PathToQ(GamePath(folder, "my-changes.qmod"));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export My Changes"), start,
                                                      QString::fromLatin1(kModFilter));
    if (!path.isEmpty()) ExportTo(PathFromQ(path));
}

bool CMods::ExportTo(const std::filesystem::path& file) {
    if (RefuseWithoutData(QStringLiteral("Nothing was exported"))) return false;
    // The mod holds the editor's stored values: what the windows hold is
    // stored first, after asking, as for Save.
    const PendingEdits pending = FindPendingEdits(ctx_);
    if (pending.InWindows()) {
        PendingEdits inWindows = pending;
        inWindows.grid = false;
        const QString text = PendingText(inWindows) + QStringLiteral("\nExport them too?");
        switch (AskQuestion(this, text, QMessageBox::NoButton, QStringLiteral("Export Them Too"),
                            QStringLiteral("Export Without Them"))) {
        case Answer::First:
            if (!StorePendingEdits(ctx_)) return false;
            break;
        case Answer::Second:
            break;
        case Answer::Cancel:
            return false;
        }
    }
    const std::string notWritten = "Nothing was written to " + PathText(file) + ".";
    const QString notExported = QStringLiteral("Nothing was exported.");
    // Read afresh: the mod must say exactly what differs from the original.
    originalStale_ = true;
    const OriginalGame& original = Original();
    if (!original.ran || !originalProblems_.empty()) {
        for (const std::string& problem : originalProblems_) ctx_.session.errors().Report(problem);
        ctx_.session.errors().Report(notWritten);
        ShowStatus(notExported);
        return false;
    }
    const Mod mod = MakeMod(ctx_.session.grid, original.values, PathToQ(file.stem()).toStdString());
    const std::vector<std::string> refused = RefusedChanges(mod);
    if (!refused.empty()) {
        CappedErrorSink capped(ctx_.session.errors());
        for (const std::string& text : refused) capped.Report(text);
        capped.Report(notWritten);
        capped.Finish();
        ShowStatus(notExported);
        return false;
    }
    if (!WriteModFile(file, ctx_.session.gameFolder, mod, ctx_.session.errors())) {
        ShowStatus(notExported);
        return false;
    }
    ShowStatus(QStringLiteral("%1 written to %2.").arg(Changes(mod.changes.size()), PathToQ(file)));
    return true;
}

void CMods::closeEvent(QCloseEvent* event) {
    ctx_.registry.Forget(this);
    event->accept();
}

CMods* OpenModsWindow(GuiContext& ctx) {
    auto* window = qobject_cast<CMods*>(ctx.registry.Find(Kind()));
    if (window) {
        window->Refresh();
    } else {
        window = new CMods(ctx, ctx.registry.Find(QString::fromLatin1(kMainWindowClass)));
    }
    BringToFront(window);
    return window;
}

}  // namespace quorvane::gui
