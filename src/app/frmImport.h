#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "data/sheet.h"
#include "import_choices.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class QTableWidget;
class QToolButton;

namespace qv::app {

struct AppContext;
class frmMain;
class SheetPreviewModel;

// The import window: a teacher's answer sheet and Q-matrix sheet (or a grid
// filled in here) become a class folder, which is then loaded. The window
// translates between its controls and the engine's import; a refusal is
// shown in it, with the offending cell selected, and nothing is written.
class frmImport final : public QWidget {
    Q_OBJECT
  public:
    frmImport(AppContext& context, frmMain& main, QWidget* parent = nullptr);
    ~frmImport() override;

    // Reads the answer file and shows its first sheet; false, with the
    // reason in the window, when it cannot be read.
    bool setAnswerFile(const QString& file);
    bool setQMatrixFile(const QString& file);
    void setClassFolder(const QString& folder);

    QTableView* preview() const { return preview_; }
    QTableWidget* conceptTable() const { return grid_; }
    QString errorText() const;
    QString summaryText() const;
    // The grid as the import would read it.
    ConceptGrid conceptGridShown() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    QWidget* buildAnswerBox();
    QWidget* buildConceptBox();
    void chooseAnswerFile();
    void chooseQMatrixFile();
    void chooseFolder();
    void readAnswerSheet();
    void readQMatrixSheet();
    AnswerFields fields() const;
    void showFields(const AnswerFields& fields);
    // After any choice: colours, the item rows of a grid not read from a
    // file, the summary line.
    void choicesChanged();
    void onColumnPressed(int column);
    void onColumnEntered(int column);
    void onRowClicked(int row);
    // The concept grid.
    void fillGrid(const ConceptGrid& grid);
    void setConceptCount(int count);
    void setItemRows(const std::vector<std::string>& labels);
    void gridEdited();
    void pasteIntoGrid();
    void onImport();
    void showError(const Error& error);
    void showError(const QString& text);

    AppContext& context_;
    frmMain& main_;
    QString answerPath_, qmatrixPath_;
    std::string answerBytes_, qmatrixBytes_;
    std::optional<Sheet> answers_;
    // The names the grid's refusals carry: the Q-matrix file and sheet it was
    // read from while it is unedited, else the grid's own.
    std::string gridFile_, gridSheet_;
    bool filling_ = false;
    std::optional<std::size_t> dragAnchor_;

    QLineEdit* answerFile_ = nullptr;
    QComboBox* answerSheet_ = nullptr;
    QLineEdit* idColumn_ = nullptr;
    QToolButton* pickId_ = nullptr;
    QLineEdit* items_ = nullptr;
    QRadioButton* keyRowChoice_ = nullptr;
    QLineEdit* keyRow_ = nullptr;
    QRadioButton* keyTextChoice_ = nullptr;
    QLineEdit* key_ = nullptr;
    QTableView* preview_ = nullptr;
    SheetPreviewModel* model_ = nullptr;
    QLineEdit* qmatrixFile_ = nullptr;
    QComboBox* qmatrixSheet_ = nullptr;
    QSpinBox* concepts_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* error_ = nullptr;
    QPushButton* import_ = nullptr;
};

}  // namespace qv::app
