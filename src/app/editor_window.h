#pragma once

#include <QMainWindow>
#include <QString>
#include <optional>
#include <string>

class QLineEdit;

namespace qv::app {

struct AppContext;
class Dialogs;
class DataFileDialog;

// What the three data editors have in common: the 檔案 menu with New, Open,
// Save and close and Close, the open-file dialog, reading a chosen file and
// writing the file safely. A window is discarded when it closes.
class EditorWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The open-file dialog (`DataFile`).
    DataFileDialog* dataFile() const { return dataFile_; }

  public slots:
    virtual void newFile() = 0;
    virtual void openFile() = 0;
    virtual void autoNumber() = 0;
    // Writes the file and closes the window; a failed save keeps it open.
    void saveAndClose();

  protected:
    struct MenuCaptions {
        QString menu, newFile, open, saveExit, exit;
    };

    EditorWindow(AppContext& context, QWidget* parent);

    void buildMenu(const MenuCaptions& captions);
    // Builds the window's file and writes it; false (after a message) when it failed.
    virtual bool save() = 0;

    // The DataInput(index) line box with its object name.
    QLineEdit* makeDataInput(int index, const QString& text);

    // The decoded text of the chosen file, or nothing after a message.
    std::optional<std::string> readChosenFile(const QString& path);
    // Writes `utf8Text` (encoded for saving) to folder/name.txt atomically;
    // false after a message when the name is refused or the write failed.
    bool writeEditorFile(const QString& folder, const QString& name, const std::string& utf8Text);

    void showProblem(const QString& text);
    Dialogs& dialogs();
    AppContext& context() { return context_; }
    const AppContext& context() const { return context_; }

  private:
    AppContext& context_;
    DataFileDialog* dataFile_;
};

QString toQString(const std::string& utf8);
std::string utf8Of(const QString& text);

}  // namespace qv::app
