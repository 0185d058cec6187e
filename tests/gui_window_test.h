// What the tests of single windows share when they run without the
// application object: a temporary folder with a settings file in it, a
// session reporting to a recorder, the window registry, the document and
// the context the windows are given. And what every GUI test reads from a
// report list: a record row's texts and marks, whatever the list's filter and
// order, and a user's double-click on it.
#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QFont>
#include <QPointer>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "actions/actions.h"
#include "gui/document.h"
#include "gui/gui_context.h"
#include "gui/qt_text.h"
#include "io/error_report.h"
#include "io/progress.h"
#include "sample/sample_game.h"
#include "session/session.h"

namespace views {

// The model under a list's filter (or the list's model where it has none).
inline const QAbstractItemModel* Source(const QTableView* list) {
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(list->model());
    return proxy ? proxy->sourceModel() : list->model();
}
// The list's index of record row `row`, column `column`; invalid while the
// filter hides the row.
inline QModelIndex ViewIndex(const QTableView* list, int row, int column = 0) {
    const auto* proxy = qobject_cast<const QSortFilterProxyModel*>(list->model());
    const QModelIndex source = Source(list)->index(row, column);
    return proxy ? proxy->mapFromSource(source) : source;
}
inline QVariant Data(const QTableView* list, int row, int column, int role) {
    return Source(list)->index(row, column).data(role);
}
inline QString Text(const QTableView* list, int row, int column) {
    return Data(list, row, column, Qt::DisplayRole).toString();
}
inline QString Tip(const QTableView* list, int row, int column) {
    return Data(list, row, column, Qt::ToolTipRole).toString();
}
inline bool IsBold(const QTableView* list, int row, int column) {
    return Data(list, row, column, Qt::FontRole).value<QFont>().bold();
}
inline bool IsItalic(const QTableView* list, int row, int column) {
    return Data(list, row, column, Qt::FontRole).value<QFont>().italic();
}
inline bool IsTinted(const QTableView* list, int row, int column) {
    return Data(list, row, column, Qt::BackgroundRole).isValid();
}
inline bool RowShown(const QTableView* list, int row) { return ViewIndex(list, row).isValid(); }
inline int RowCount(const QTableView* list) { return Source(list)->rowCount(); }

// A user's double-click on record row `row`: press and release, then the
// second press that the window system reports as a double-click.
inline void DoubleClickRow(QTableView* list, int row, int column = 0) {
    const QModelIndex index = ViewIndex(list, row, column);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace views

class WindowTestBase : public QObject {
protected:
    // A fresh folder, settings file, session and context; the recorder is
    // emptied.
    void StartSession() {
        // The previous settings go before their folder: a QSettings writes
        // its file when destroyed, and would make the removed folder again.
        ctx_.reset();
        document_.reset();
        session_.reset();
        settings_.reset();
        tmp_ = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp_->isValid());
        settings_ = std::make_unique<QSettings>(tmp_->filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        errors_.texts.clear();
        session_ = std::make_unique<quorvane::Session>(errors_, progress_);
        document_ = std::make_unique<quorvane::gui::Document>(*session_);
        ctx_ = std::make_unique<quorvane::gui::GuiContext>(
            quorvane::gui::GuiContext{*session_, *settings_, registry_, *document_});
    }

    // The same, with the sample game of seed 7 written into the folder's
    // "game" and extracted into its "rules.txt".
    void StartWithSampleGame() {
        StartSession();
        const QString game = tmp_->filePath(QStringLiteral("game"));
        std::filesystem::path error;
        QVERIFY2(quorvane::WriteSampleGame(quorvane::gui::PathFromQ(game), 7, &error),
                 qPrintable(quorvane::gui::PathToQ(error)));
        session_->gameFolder = quorvane::gui::PathFromQ(game);
        session_->rulesPath = quorvane::gui::PathFromQ(tmp_->filePath(QStringLiteral("rules.txt")));
        QVERIFY(quorvane::ExtractCommand(*session_));
    }

    // Deletes every top-level window and what their deletion posted, forgets
    // them, and requires that nothing was reported. Only windows of their
    // own: a drop-down's list or an owned dialog goes with its parent, which
    // may still use it on the way out.
    void CloseEveryWindow() {
        QList<QPointer<QWidget>> all;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget()) all << w;
        for (const QPointer<QWidget>& w : all) delete w.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        registry_ = quorvane::gui::WindowRegistry();
        QVERIFY(errors_.texts.empty());
    }

    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<QSettings> settings_;
    quorvane::RecordingErrorSink errors_;
    quorvane::NullProgress progress_;
    std::unique_ptr<quorvane::Session> session_;
    std::unique_ptr<quorvane::gui::Document> document_;
    quorvane::gui::WindowRegistry registry_;
    std::unique_ptr<quorvane::gui::GuiContext> ctx_;
};
