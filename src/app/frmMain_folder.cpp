// Class folders: opening one, the recent list, drops and the command line.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "app_context.h"
#include "busy_cursor.h"
#include "data/class_folder.h"
#include "data/loaders.h"
#include "data/student_warnings.h"
#include "data/text_codec.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmMain.h"
#include "settings.h"

namespace qv::app {

namespace {

// The notice quotes this many warnings; the details hold the rest, up to a bound.
constexpr int kQuoted = 5;
constexpr int kDetailed = 1000;

QString qt(const std::filesystem::path& path) {
    return QString::fromStdString(pathText(path));
}

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool isSheet(const QString& file) {
    static const QStringList kinds = {QStringLiteral("csv"), QStringLiteral("tsv"),
                                      QStringLiteral("xlsx"), QStringLiteral("xls"),
                                      QStringLiteral("ods")};
    return kinds.contains(QFileInfo(file).suffix().toLower());
}

// The three files of a class among dropped ones, told apart by their names.
std::optional<ClassFiles> classFilesAmong(const QStringList& paths) {
    if (paths.size() != 3) return std::nullopt;
    ClassFiles files;
    for (const QString& path : paths) {
        const QString name = QFileInfo(path).fileName();
        std::filesystem::path* slot = name == QLatin1String(kClassStudentsName)   ? &files.data
                                      : name == QLatin1String(kClassConceptsName) ? &files.concepts
                                      : name == QLatin1String(kClassItemsName)    ? &files.items
                                                                                  : nullptr;
        if (!slot || !slot->empty()) return std::nullopt;
        *slot = toPath(path);
    }
    return files;
}

QStringList localFiles(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) return {};
        paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace

void frmMain::onOpenClassFolder() {
    const QString folder =
        context_.dialogs.openFolder(this, QStringLiteral("開啟班級資料夾"), context_.dataFolder);
    if (!folder.isEmpty()) openClassFolder(folder);
}

bool frmMain::openClassFolder(const QString& folder) {
    const QString clean = cleanFolder(folder);
    if (auto problem = classFolderProblem(toPath(clean))) {
        showMessage(QMessageBox::Warning, QString::fromStdString(*problem));
        return false;
    }
    if (!loadClassFiles(classFolderFiles(toPath(clean)))) return false;
    rememberClassFolder(context_, clean);
    fillRecentMenu();
    return true;
}

// One load for the three files: a refused file leaves the class before it whole.
bool frmMain::loadClassFiles(const ClassFiles& files) {
    if (running()) return false;
    const Expected<void> loaded = [&] {
        BusyCursor busy;
        return loadClass(context_.classData, files);
    }();
    if (!loaded) {
        showMessage(QMessageBox::Warning, QString::fromStdString(loaded.error().message()));
        return false;
    }
    context_.inputFiles = {qt(files.data), qt(files.concepts), qt(files.items)};
    for (int light = 0; light < 3; ++light)
        setLit(light);
    showLoadState();
    classChanged(QStringLiteral("此報表來自先前載入的班級，請重新查詢。"));
    if (const auto warnings = loadWarnings(*context_.classData); !warnings.empty()) {
        QStringList lines;
        for (const std::string& warning : warnings)
            lines << QString::fromStdString(warning);
        showMessage(QMessageBox::Warning, lines.join(QLatin1Char('\n')));
    }
    showLineWarnings(context_.inputFiles[0]);
    return true;
}

// The lines are loaded as they stand; the notice only points at them, and
// stays out of the way until it is closed.
void frmMain::showLineWarnings(const QString& studentFile) {
    if (lineWarnings_) lineWarnings_->close();
    const auto bytes = readFileBytes(toPath(studentFile));
    if (!bytes) return;
    const std::vector<LineWarning> warnings = studentLineWarnings(decodeText(*bytes));
    if (warnings.empty()) return;
    auto line = [](const LineWarning& w) {
        return QStringLiteral("第 %1 行：%2").arg(w.line).arg(QString::fromStdString(w.text));
    };
    const int count = static_cast<int>(warnings.size());
    QStringList quoted, detailed;
    for (int i = 0; i < std::min(count, kDetailed); ++i)
        (i < kQuoted ? quoted : detailed) << line(warnings[static_cast<std::size_t>(i)]);
    QString text = QStringLiteral("學生資料檔「%1」有 %2 個地方可能被誤讀，已照檔案原樣載入：\n\n")
                       .arg(QFileInfo(studentFile).fileName())
                       .arg(count) +
                   quoted.join(QLatin1Char('\n'));
    if (count > kQuoted) text += QStringLiteral("\n……另有 %1 個").arg(count - kQuoted);
    auto* box =
        new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Close, this);
    box->setObjectName(QStringLiteral("msgLineWarnings"));
    box->setInformativeText(QStringLiteral("請修正這些行後重新開啟；分析不會等這個視窗。"));
    if (!detailed.isEmpty()) box->setDetailedText(detailed.join(QLatin1Char('\n')));
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    lineWarnings_ = box;
}

void frmMain::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList folders = recentClassFolders(context_);
    for (int i = 0; i < folders.size(); ++i) {
        const QString& folder = folders[i];
        auto* action = recentMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(folder)));
        action->setObjectName(QStringLiteral("mnuRecentClass%1").arg(i));
        connect(action, &QAction::triggered, this, [this, folder] { openRecentClass(folder); });
    }
    if (folders.isEmpty()) recentMenu_->addAction(QStringLiteral("（尚無）"))->setEnabled(false);
}

void frmMain::openRecentClass(const QString& folder) {
    if (!QFileInfo(folder).isDir()) {
        forgetClassFolder(context_, folder);
        fillRecentMenu();
        showMessage(QMessageBox::Warning,
                    QStringLiteral("資料夾「%1」已不存在，已從最近的班級中移除。")
                        .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    openClassFolder(folder);
}

void frmMain::openPaths(const QStringList& paths) {
    if (paths.isEmpty()) return;
    if (paths.size() == 1 && isSheet(paths[0])) {
        emit sheetDropped(paths[0]);
        return;
    }
    if (paths.size() == 1) {
        openClassFolder(paths[0]);
        return;
    }
    const auto files = classFilesAmong(paths);
    if (!files) {
        showMessage(QMessageBox::Warning,
                    QStringLiteral("只能開啟一個班級資料夾，或其中的 students.txt、concepts.txt "
                                   "與 item-concepts.txt 三個檔案。"));
        return;
    }
    // The three files of one folder are that folder, recent list and all.
    const QString folder = cleanFolder(QFileInfo(qt(files->data)).path());
    if (std::all_of(paths.begin(), paths.end(),
                    [&](const QString& p) { return cleanFolder(QFileInfo(p).path()) == folder; })) {
        openClassFolder(folder);
    } else {
        loadClassFiles(*files);
    }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!running() && !localFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// The drop ends first: a message shown inside it would hold the dragging
// program up until it closed.
void frmMain::dropEvent(QDropEvent* event) {
    const QStringList paths = localFiles(event->mimeData());
    if (running() || paths.isEmpty()) return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, paths] { openPaths(paths); });
}

}  // namespace qv::app
