#include "editor_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "app_context.h"
#include "data/loaders.h"
#include "data/safe_file.h"
#include "data/text_codec.h"
#include "data_folders.h"
#include "dialogs.h"
#include "editor_widgets.h"

namespace qv::app {

QString toQString(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string utf8Of(const QString& text) {
    return text.toStdString();
}

EditorWindow::EditorWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), dataFile_(new DataFileDialog(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void EditorWindow::buildMenu(const MenuCaptions& captions) {
    QMenu* menu = menuBar()->addMenu(captions.menu);
    menu->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [&](const QString& caption, const char* name, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    add(captions.newFile, "mnuNew", &EditorWindow::newFile);
    add(captions.open, "mnuOpen", &EditorWindow::openFile);
    add(captions.saveExit, "mnuSaveExit", &EditorWindow::saveAndClose);
    add(captions.exit, "mnuExit", &EditorWindow::close);
}

QLineEdit* EditorWindow::makeDataInput(int index, const QString& text) {
    auto* box = new QLineEdit(text, this);
    box->setObjectName(QStringLiteral("DataInput_%1").arg(index));
    return box;
}

void EditorWindow::saveAndClose() {
    if (save()) close();
}

std::optional<std::string> EditorWindow::readChosenFile(const QString& path) {
    // Only a regular file of bounded size: a pipe or a device would hold the
    // window until it ends, if ever.
    const auto bytes = readFileBytes(toPath(path));
    if (!bytes) {
        showProblem(
            QStringLiteral("無法開啟檔案：\n%1\n%2")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(bytes.error().what)));
        return std::nullopt;
    }
    return decodeText(*bytes);
}

bool EditorWindow::writeEditorFile(const QString& folder, const QString& name,
                                   const std::string& utf8Text) {
    if (name.trimmed().isEmpty()) {
        showProblem(QStringLiteral("請先輸入檔案名稱，再儲存。"));
        return false;
    }
    if (name.contains(u'/') || name.contains(u'\\')) {
        showProblem(QStringLiteral("檔案名稱「%1」不可含有「/」或「\\」。").arg(name));
        return false;
    }
    if (!QDir().mkpath(folder)) {
        showProblem(QStringLiteral("無法建立資料夾：\n%1").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    const QString path = QDir(folder).filePath(name + QStringLiteral(".txt"));
    const std::string bytes = encodeForSave(utf8Text);
    if (auto written = writeFileSafely(toPath(path), bytes); !written) {
        showProblem(QStringLiteral("無法儲存檔案：\n%1")
                        .arg(QString::fromStdString(written.error().message())));
        return false;
    }
    return true;
}

void EditorWindow::showProblem(const QString& text) {
    dialogs().message(this, QMessageBox::Warning, windowTitle(), text);
}

Dialogs& EditorWindow::dialogs() {
    return context_.dialogs;
}

}  // namespace qv::app
