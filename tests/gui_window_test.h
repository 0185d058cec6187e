// What the tests of single windows share when they run without the
// application object: a temporary folder with a settings file in it, a
// session reporting to a recorder, the window registry, and the context the
// windows are given.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QSettings>
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
    // them, and requires that nothing was reported.
    void CloseEveryWindow() {
        QList<QPointer<QWidget>> all;
        for (QWidget* w : QApplication::topLevelWidgets()) all << w;
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
