// The main window's open commands.
#include <QFile>
#include <QStringList>
#include <filesystem>

#include "app_context.h"
#include "busy_cursor.h"
#include "data/loaders.h"
#include "dialogs.h"
#include "frmMain.h"

namespace qv::app {

namespace {

std::filesystem::path toPath(const QString& file) {
#ifdef Q_OS_WIN
    return std::filesystem::path(file.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(file).toStdString());
#endif
}

struct FileKind {
    Expected<void> (*load)(AppState&, const std::filesystem::path&);
    QString AppContext::*folder;
};

// By light: student data, concept notes, item concepts.
const FileKind kFileKinds[3] = {{&loadStudentFile, &AppContext::dataFolder},
                                {&loadConceptFile, &AppContext::conceptNoteFolder},
                                {&loadItemConceptFile, &AppContext::itemConceptFolder}};

QString joinLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines)
        out << QString::fromStdString(line);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

void frmMain::openAndLoad(int light) {
    const FileKind& kind = kFileKinds[light];
    const QString file = context_.dialogs.openFile(this, QStringLiteral("開啟"),
                                                    context_.*kind.folder, dataFileFilter());
    if (file.isEmpty()) return;
    const Expected<void> loaded = [&] {
        BusyCursor busy;
        return kind.load(context_.state, toPath(file));
    }();
    if (!loaded) {
        showMessage(QMessageBox::Warning, QString::fromStdString(loaded.error().message()));
        return;
    }
    setLit(light);
    // The file is loaded; say so when it disagrees with another loaded file.
    if (const auto warnings = loadWarnings(context_.state); !warnings.empty()) {
        showMessage(QMessageBox::Warning, joinLines(warnings));
    }
}

void frmMain::onOpenData() {
    openAndLoad(0);
}

void frmMain::onOpenConceptNote() {
    openAndLoad(1);
}

void frmMain::onOpenItemConcept() {
    openAndLoad(2);
}

}  // namespace qv::app
