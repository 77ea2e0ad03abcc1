#pragma once

// Widgets the three data editors share: a typing limit that leaves program-set
// text alone, the multi-line box whose text uses LineBreak, the open-file
// settings object.

#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <QValidator>

class QLineEdit;

namespace qv::app {

class Dialogs;

// Number of characters (code points) of a text.
int charLength(const QString& text);

// Limits what the user types or pastes into a line box to `limit` characters.
// Text the program puts in with setText is taken whole, however long; a box
// holding such a text can still be shortened but not lengthened.
class TypingLimit final : public QValidator {
  public:
    TypingLimit(QLineEdit* box, int limit);
    State validate(QString& input, int& pos) const override;
    int limit() const { return limit_; }

  private:
    QLineEdit* box_;
    int limit_;
    QString before_;  // the box's text before the change under validation
};

// A multi-line box (both scroll bars, no wrapping) whose text, as the editor
// sees it, separates lines with LineBreak (LF CR LF). The box shows each
// LineBreak as one line break; a line the user ends with Enter is stored with
// LineBreak too.
class LineBreakTextBox final : public QPlainTextEdit {
  public:
    explicit LineBreakTextBox(QWidget* parent = nullptr);

    QString modelText() const;
    void setModelText(const QString& text);
    // Adds text at the end without touching what the box holds.
    void appendModelText(const QString& text);
};

// The editors' open-file dialog (the `DataFile` control): its settings and
// the file chosen last. `choose` shows it and returns the path, empty on cancel.
class DataFileDialog final : public QObject {
  public:
    explicit DataFileDialog(QObject* parent);

    QString fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    QString initDir() const { return initDir_; }
    void setInitDir(const QString& dir) { initDir_ = dir; }
    QString dialogTitle() const;

    QString choose(QWidget* parent, Dialogs& dialogs);

  private:
    QString fileName_;
    QString initDir_;
};

}  // namespace qv::app
