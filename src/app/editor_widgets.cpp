#include "editor_widgets.h"

#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "dialogs.h"

namespace qv::app {

namespace {

const QString kLineBreakText = QStringLiteral("\n\r\n");

}  // namespace

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
    return modelFromDisplay(document()->toRawText());
}

void LineBreakTextBox::setModelText(const QString& text) {
    setPlainText(displayFromModel(text));
}

void LineBreakTextBox::appendModelText(const QString& text) {
    if (text.isEmpty()) return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayFromModel(text));
}

QString LineBreakTextBox::displayFromModel(const QString& model) {
    QString out;
    out.reserve(model.size());
    for (qsizetype i = 0; i < model.size(); ++i) {
        const QChar c = model[i];
        if (c == u'\n' && model.mid(i, 3) == kLineBreakText) {
            out += u'\n';
            i += 2;
        } else if (c == u'\r') {
            out += u'\n';
            if (i + 1 < model.size() && model[i + 1] == u'\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString LineBreakTextBox::modelFromDisplay(const QString& display) {
    QString out;
    out.reserve(display.size() + display.size() / 8);
    for (QChar c : display) {
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            out += kLineBreakText;
        else
            out += c;
    }
    return out;
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

// --- Fonts -----------------------------------------------------------------

QFont kaiFont() {
    QFont font;
    font.setFamilies({QStringLiteral("標楷體"), QStringLiteral("DFKai-SB"),
                      QStringLiteral("BiauKai"), QStringLiteral("AR PL UKai TW"),
                      QStringLiteral("AR PL UKai")});
    font.setPointSize(12);
    return font;
}

}  // namespace qv::app
