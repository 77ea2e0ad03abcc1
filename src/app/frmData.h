#pragma once

#include <array>

#include "editor_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qv::app {

class LineBreakTextBox;

// The student-data editor: writes a student data file into the data folder
// by hand and opens one back for editing.
class frmData final : public EditorWindow {
    Q_OBJECT

  public:
    explicit frmData(AppContext& context, QWidget* parent = nullptr);

    // DataInput(0) to DataInput(6): name, the two codes, the two answer-key
    // parts, the first and last ID of the numbering range.
    QLineEdit* dataInput(int index) const { return inputs_.at(static_cast<std::size_t>(index)); }
    LineBreakTextBox* studentData() const { return studentData_; }
    // The student box's text, lines separated by LineBreak.
    QString studentDataText() const;
    QString keyinCaption() const;

  public slots:
    void newFile() override;
    void openFile() override;
    void autoNumber() override;

  protected:
    bool save() override;

  private:
    void buildControls();
    void onDataInputChanged(int index);

    std::array<QLineEdit*, 7> inputs_{};
    LineBreakTextBox* studentData_ = nullptr;
    QLabel* keyin_ = nullptr;
    QPushButton* autoNumber_ = nullptr;
};

}  // namespace qv::app
