#pragma once

#include <QMessageBox>
#include <QString>

class QPrinter;
class QDialog;
class QWidget;

namespace qv::app {

// The modal dialogs the windows use. The program shows Qt's; tests put in a
// recorder so that no dialog ever blocks.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // An open-file dialog; returns the chosen path, or an empty text on cancel.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& folder,
                             const QString& filter, const QString& initialFile = {}) = 0;
    // A choose-folder dialog; returns the chosen folder, or an empty text on cancel.
    virtual QString openFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    // A message box with an OK button only.
    virtual void message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                         const QString& text) = 0;
    // A question with two answers, `yes` and 取消 (the default); true for `yes`.
    virtual bool question(QWidget* parent, const QString& title, const QString& text,
                          const QString& yes) = 0;
    // A save-file dialog starting at `suggested`; the chosen path, or an empty
    // text on cancel.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                             const QString& filter) = 0;
    // The printer dialog on `printer` (a printer or a PDF file); false on cancel.
    virtual bool choosePrinter(QWidget* parent, const QString& title, QPrinter& printer) = 0;
    // Runs one of the program's own modal dialogs; true when it was accepted.
    virtual bool exec(QDialog& dialog) = 0;
};

class QtDialogs final : public Dialogs {
  public:
    QString openFile(QWidget* parent, const QString& title, const QString& folder,
                     const QString& filter, const QString& initialFile = {}) override;
    QString openFolder(QWidget* parent, const QString& title, const QString& folder) override;
    void message(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text) override;
    bool question(QWidget* parent, const QString& title, const QString& text,
                  const QString& yes) override;
    QString saveFile(QWidget* parent, const QString& title, const QString& suggested,
                     const QString& filter) override;
    bool choosePrinter(QWidget* parent, const QString& title, QPrinter& printer) override;
    bool exec(QDialog& dialog) override;
};

// Every file dialog of the program offers this one filter ("資料檔案 (*.txt)|*.txt").
QString dataFileFilter();

}  // namespace qv::app
