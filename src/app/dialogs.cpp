#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPushButton>

namespace qv::app {

QString QtDialogs::openFile(QWidget* parent, const QString& title, const QString& folder,
                            const QString& filter, const QString& initialFile) {
    const QString start = initialFile.isEmpty() ? folder : QDir(folder).filePath(initialFile);
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QString QtDialogs::openFolder(QWidget* parent, const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, title, folder);
}

void QtDialogs::message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                        const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::question(QWidget* parent, const QString& title, const QString& text,
                         const QString& yes) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::Cancel,
                    parent);
    box.button(QMessageBox::Yes)->setText(yes);
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::saveFile(QWidget* parent, const QString& title, const QString& suggested,
                            const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

bool QtDialogs::choosePrinter(QWidget* parent, const QString& title, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::exec(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

QString dataFileFilter() {
    return QStringLiteral("資料檔案 (*.txt)");
}

}  // namespace qv::app
