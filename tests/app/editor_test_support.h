#pragma once

// The editor tests' context: recording dialogs and three data folders in a
// temporary directory.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app_context.h"
#include "recording_dialogs.h"

namespace qv::app::test {

struct TestContext {
    QTemporaryDir root;
    RecordingDialogs dialogs;
    AppContext context;

    int messageCount() const { return static_cast<int>(dialogs.messages.size()); }
    int openCount() const { return static_cast<int>(dialogs.opens.size()); }

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
