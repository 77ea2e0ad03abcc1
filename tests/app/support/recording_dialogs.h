#pragma once

#include <QDialog>
#include <QPrinter>
#include <QStringList>
#include <functional>
#include <vector>

#include "dialogs.h"

namespace qv::app::test {

// Dialogs that never block: open-file, open-folder and save-file answers come from queues
// (empty text, i.e. cancel, when one runs dry), the printer dialog and the
// questions from functions (cancel when there is none), the program's own dialogs are
// answered by `answerDialog` (cancelled without one), and every call is
// recorded.
class RecordingDialogs final : public Dialogs {
  public:
    struct OpenCall {
        QString title, folder, filter, initialFile;
    };
    struct Message {
        QMessageBox::Icon icon;
        QString title, text;
    };

    QStringList answers, folderAnswers, saveAnswers;
    std::function<bool(QPrinter&)> printerAnswer;
    std::function<bool(const QString&)> questionAnswer;
    QStringList questions;
    QStringList saveTitles;
    std::vector<OpenCall> opens;
    std::vector<Message> messages;
    QStringList dialogs;  // object names, in order
    std::function<bool(QDialog&)> answerDialog;

    QString openFile(QWidget*, const QString& title, const QString& folder, const QString& filter,
                     const QString& initialFile = {}) override {
        opens.push_back({title, folder, filter, initialFile});
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString openFolder(QWidget*, const QString&, const QString&) override {
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    void message(QWidget*, QMessageBox::Icon icon, const QString& title,
                 const QString& text) override {
        messages.push_back({icon, title, text});
    }
    bool question(QWidget*, const QString&, const QString& text, const QString&) override {
        questions << text;
        return questionAnswer && questionAnswer(text);
    }
    QString saveFile(QWidget*, const QString& title, const QString&, const QString&) override {
        saveTitles << title;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    bool choosePrinter(QWidget*, const QString&, QPrinter& printer) override {
        return printerAnswer && printerAnswer(printer);
    }
    bool exec(QDialog& dialog) override {
        dialogs << dialog.objectName();
        return answerDialog && answerDialog(dialog);
    }
};

}  // namespace qv::app::test
