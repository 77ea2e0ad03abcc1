#include "editor_widgets.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "dialogs.h"
#include "text_box.h"

namespace qv::app {

int charLength(const QString& text) {
    int n = 0;
    for (QChar c : text)
        n += !c.isLowSurrogate();
    return n;
}

// --- TypingLimit -----------------------------------------------------------

TypingLimit::TypingLimit(QLineEdit* box, int limit)
    : QValidator(box), box_(box), limit_(limit), before_(box->text()) {
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

QValidator::State TypingLimit::validate(QString& input, int& pos) const {
    // setText resets the modified flag before it validates: program text passes whole.
    if (!box_->isModified()) return Acceptable;
    const int allowed = std::max(limit_, charLength(before_));
    if (charLength(input) <= allowed) return Acceptable;
    // Keep what fits of a paste: cut the inserted text from its end.
    QString cut = input;
    int p = pos;
    while (charLength(cut) > allowed && p > 0) {
        const int n =
            (p >= 2 && cut[p - 1].isLowSurrogate() && cut[p - 2].isHighSurrogate()) ? 2 : 1;
        cut.remove(p - n, n);
        p -= n;
    }
    if (charLength(cut) > allowed || cut == before_) return Invalid;
    input = cut;
    pos = p;
    return Acceptable;
}

// --- LineBreakTextBox ------------------------------------------------------

LineBreakTextBox::LineBreakTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

QString LineBreakTextBox::modelText() const {
    return QString::fromStdString(toModelText(document()->toRawText()));
}

void LineBreakTextBox::setModelText(const QString& text) {
    setPlainText(toDisplayText(text.toStdString()));
}

void LineBreakTextBox::appendModelText(const QString& text) {
    if (text.isEmpty()) return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(toDisplayText(text.toStdString()));
}

// --- DataFileDialog --------------------------------------------------------

DataFileDialog::DataFileDialog(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("DataFile"));
}

QString DataFileDialog::dialogTitle() const {
    return QStringLiteral("開啟");
}

QString DataFileDialog::choose(QWidget* parent, Dialogs& dialogs) {
    const QString path =
        dialogs.openFile(parent, dialogTitle(), initDir_, dataFileFilter(), fileName_);
    if (!path.isEmpty()) fileName_ = path;
    return path;
}

}  // namespace qv::app
