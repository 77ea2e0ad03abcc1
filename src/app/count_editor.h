#pragma once

#include <array>

#include "app_context.h"
#include "editor_window.h"

class QLineEdit;
class QPushButton;

namespace qv::app {

class LineBreakTextBox;

// The common design of the concept-note and item-concept editors: a name,
// a count written as the file's first line, and one large box with one entry
// per line.
class CountEditor : public EditorWindow {
    Q_OBJECT

  public:
    QLineEdit* dataInput(int index) const { return inputs_.at(static_cast<std::size_t>(index)); }
    LineBreakTextBox* largeBox() const { return box_; }
    // The large box's text, lines separated by LineBreak.
    QString largeBoxText() const;

  public slots:
    void newFile() override;
    void openFile() override;
    void autoNumber() override;

  protected:
    struct Setup {
        QString objectName, caption;
        QString nameLabel, countLabel, initialName, initialCount;
        QString boxName;              // C_Note or IC
        QString AppContext::*folder;  // where its files live
        bool oneRow;                  // name, count and button on one row
    };

    CountEditor(AppContext& context, QWidget* parent, const Setup& setup);
    bool save() override;

  private:
    void arrange(const Setup& setup);
    QString folder() const;

    QString AppContext::*folder_;
    std::array<QLineEdit*, 2> inputs_{};
    LineBreakTextBox* box_ = nullptr;
    QPushButton* autoNumber_ = nullptr;
};

}  // namespace qv::app
