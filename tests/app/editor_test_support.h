#pragma once

// Test doubles for the editor tests: dialogs that answer from a queue and a
// context whose three folders live in a temporary directory.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "app_context.h"
#include "dialogs.h"

namespace qv::app::test {

class RecordingDialogs final : public Dialogs {
  public:
    QStringList answers;  // paths the open dialog returns, in turn; empty = cancel
    struct Call {
        QString title, folder, filter, initialFile;
    };
    QList<Call> opens;
    QStringList messages;

    QString openFile(QWidget*, const QString& title, const QString& folder, const QString& filter,
                     const QString& initialFile) override {
        opens.append({title, folder, filter, initialFile});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    void message(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override {
        messages.append(text);
    }
};

struct TestContext {
    QTemporaryDir root;
    RecordingDialogs dialogs;
    AppContext context;

    TestContext() {
        context.dialogs = &dialogs;
        context.dataFolder = root.filePath(QStringLiteral("Data"));
        context.conceptNoteFolder = root.filePath(QStringLiteral("ConceptNote"));
        context.itemConceptFolder = root.filePath(QStringLiteral("ItemConcept"));
        for (const QString& f :
             {context.dataFolder, context.conceptNoteFolder, context.itemConceptFolder})
            QDir().mkpath(f);
    }
};

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the deletions that closing a window posted.
inline void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace qv::app::test
