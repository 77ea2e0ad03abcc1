#include "data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <string_view>

#include "app_context.h"
#include "data/safe_file.h"
#include "samples/sample_class.h"

namespace qv::app {

QString dataRoot(const QString& appDir, const QString& fallback) {
    const QFileInfo info(appDir);
    if (info.isDir() && info.isWritable()) return appDir;
    return fallback;
}

QString documentsDataRoot() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Quorvane"));
}

void setDataFolders(AppContext& context, const QString& root) {
    const QDir dir(root);
    context.dataFolder = dir.filePath(QStringLiteral("Data"));
    context.conceptNoteFolder = dir.filePath(QStringLiteral("ConceptNote"));
    context.itemConceptFolder = dir.filePath(QStringLiteral("ItemConcept"));
}

void createDataFolders(const AppContext& context) {
    for (const QString& folder :
         {context.dataFolder, context.conceptNoteFolder, context.itemConceptFolder}) {
        if (!folder.isEmpty()) QDir().mkpath(folder);
    }
}

namespace {

bool holdsDataFile(const QString& folder) {
    return !QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty();
}

}  // namespace

int seedDataFolders(const std::vector<SeedFile>& files) {
    for (const SeedFile& f : files) {
        if (f.folder.isEmpty() || !QFileInfo(f.folder).isDir() || holdsDataFile(f.folder)) {
            return 0;
        }
    }
    int written = 0;
    for (const SeedFile& f : files) {
        const QString path = QDir(f.folder).filePath(f.name);
        if (QFileInfo::exists(path)) continue;
        const std::string_view bytes(f.bytes.constData(), static_cast<std::size_t>(f.bytes.size()));
        if (writeFileSafely(toPath(path), bytes)) ++written;
    }
    return written;
}

namespace {

QByteArray bytesOf(std::string_view s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QString nameOf(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

std::vector<SeedFile> sampleClassFiles(const AppContext& context) {
    namespace s = qv::samples;
    return {{context.dataFolder, nameOf(s::studentFileName()), bytesOf(s::studentFile())},
            {context.conceptNoteFolder, nameOf(s::conceptFileName()), bytesOf(s::conceptFile())},
            {context.itemConceptFolder, nameOf(s::itemConceptFileName()),
             bytesOf(s::itemConceptFile())}};
}

std::filesystem::path toPath(const QString& file) {
#ifdef Q_OS_WIN
    return std::filesystem::path(file.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(file).toStdString());
#endif
}

}  // namespace qv::app
