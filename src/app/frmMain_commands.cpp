// The main window's open commands.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QStringList>
#include <filesystem>

#include "app_context.h"
#include "busy_cursor.h"
#include "data/loaders.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmMain.h"
#include "indicator_light.h"

namespace qv::app {

namespace {

struct FileKind {
    Expected<void> (*load)(ClassPtr&, const std::filesystem::path&);
    QString AppContext::*folder;
    const char* label;
};

// By light: student data, concept notes, item concepts.
const FileKind kFileKinds[3] = {
    {&loadStudentFile, &AppContext::dataFolder, "學生資料檔"},
    {&loadConceptFile, &AppContext::conceptNoteFolder, "概念註解檔"},
    {&loadItemConceptFile, &AppContext::itemConceptFolder, "題目所包含概念檔"}};

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
        return kind.load(context_.classData, toPath(file));
    }();
    if (!loaded) {
        showMessage(QMessageBox::Warning, QString::fromStdString(loaded.error().message()));
        return;
    }
    setLit(light);
    context_.inputFiles.at(static_cast<std::size_t>(light)) = file;
    showLoadState();
    classChanged(QStringLiteral("此報表來自先前載入的班級，請重新查詢。"));
    // The file is loaded; say so when it disagrees with another loaded file.
    if (const auto warnings = loadWarnings(*context_.classData); !warnings.empty()) {
        showMessage(QMessageBox::Warning, joinLines(warnings));
    }
    if (light == 0) showLineWarnings(file);
}

void frmMain::showLoadState() {
    QStringList names;
    for (std::size_t i = 0; i < context_.inputFiles.size(); ++i) {
        const QString label = QString::fromUtf8(kFileKinds[i].label);
        const QString& file = context_.inputFiles[i];
        lights_[i]->setToolTip(
            label + QStringLiteral("：") +
            (file.isEmpty() ? QStringLiteral("尚未開啟") : QDir::toNativeSeparators(file)));
        if (!file.isEmpty()) names << label + QStringLiteral("：") + QFileInfo(file).fileName();
    }
    loadedStatus_->setText(names.join(QStringLiteral("　")));
    // The table stays on screen after a load: say that it no longer answers
    // queries.
    const bool stale = !resultModel_.empty() && !context_.currentResults();
    staleStatus_->setText(stale ? QStringLiteral("結果已過期") : QString());
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
