#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>

#include "app_context.h"
#include "data_folders.h"
#include "recording_dialogs.h"

namespace qv::app::test {

// Recording dialogs and a context whose data folders live in a temporary directory.
struct TestContext {
    QTemporaryDir root;
    RecordingDialogs dialogs;
    AppContext context{dialogs};

    TestContext() {
        setDataFolders(context, root.path());
        createDataFolders(context);
        context.settingsFile = root.filePath(QStringLiteral("settings.ini"));
    }
    std::size_t messages() const { return dialogs.messages.size(); }
    QString lastMessage() const {
        return dialogs.messages.empty() ? QString() : dialogs.messages.back().text;
    }
};

inline void trigger(QObject* window, const char* action) {
    window->findChild<QAction*>(QString::fromUtf8(action))->trigger();
}

// Waits until the window's run, going on its worker thread, has ended.
template <typename MainWindow>
void waitForRun(MainWindow& w) {
    if (!QTest::qWaitFor([&] { return !w.running(); }, 120000)) QFAIL("the run did not end");
}

// A run command, and the wait for the run it starts.
template <typename MainWindow>
void runCommand(MainWindow* w, const char* action) {
    trigger(w, action);
    waitForRun(*w);
}

inline void click(QObject* window, const char* button) {
    window->findChild<QPushButton*>(QString::fromUtf8(button))->click();
}

// Runs the deletions that closing a window posted.
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QString testFile(const char* name) {
    return QStringLiteral(QV_TESTDATA_DIR "/") + QString::fromUtf8(name);
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace qv::app::test
