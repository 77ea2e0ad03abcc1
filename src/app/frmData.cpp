#include "frmData.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_context.h"
#include "data/editor_format.h"
#include "editor_widgets.h"
#include "fonts.h"
#include "screen_fit.h"

namespace qv::app {

namespace {

const QString kKeyinPrompt = QStringLiteral("您所鍵入的題數");

// A width that shows `chars` characters like `sample` in the box's font.
int boxWidthFor(const QLineEdit* box, int chars, QChar sample = u'0') {
    const QFontMetrics metrics(box->font());
    return metrics.horizontalAdvance(QString(chars, sample)) + 16;
}

QLabel* rightAligned(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

frmData::frmData(AppContext& context, QWidget* parent) : EditorWindow(context, parent) {
    setObjectName(QStringLiteral("frmData"));
    setWindowTitle(QStringLiteral("新增基本資料表單"));
    buildMenu({QStringLiteral("檔案"), QStringLiteral("新增(&N)"), QStringLiteral("開啟(&O)"),
               QStringLiteral("儲存並結束(&S)"), QStringLiteral("結束")});
    buildControls();
    // Connected after the initial texts so that the label keeps its prompt.
    for (int i = 0; i < 7; ++i)
        connect(inputs_[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this,
                [this, i] { onDataInputChanged(i); });
    connect(autoNumber_, &QPushButton::clicked, this, &frmData::autoNumber);
    fitToScreen(*this, sizeHint().expandedTo(QSize(820, 560)));
}

void frmData::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    const QStringList initial = {QStringLiteral("92第１次數學小考"),
                                 QStringLiteral("8"),
                                 QStringLiteral("9"),
                                 QString(),
                                 QString(),
                                 QStringLiteral("90702001"),
                                 QStringLiteral("90702010")};
    for (int i = 0; i < 7; ++i)
        inputs_[static_cast<std::size_t>(i)] = makeDataInput(i, initial[i]);
    auto& in = inputs_;
    for (int i : {3, 4}) {
        in[i]->setFont(kaiFont());
        in[i]->setValidator(new TypingLimit(in[i], kAnswerBoxLimit));
        in[i]->setMinimumWidth(boxWidthFor(in[i], kAnswerBoxLimit, u'D'));
    }
    for (int i : {5, 6}) {
        in[i]->setValidator(new TypingLimit(in[i], kIdBoxLimit));
        in[i]->setFixedWidth(boxWidthFor(in[i], kIdBoxLimit + 1));
    }
    for (int i : {1, 2})
        in[i]->setFixedWidth(boxWidthFor(in[i], 2, u'W'));
    in[0]->setMinimumWidth(boxWidthFor(in[0], 16));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("基本資料名稱："), central));
    top->addWidget(in[0], 1);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("遺失資料代碼："), central));
    top->addWidget(in[1]);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("錯誤資料代碼："), central));
    top->addWidget(in[2]);

    keyin_ = rightAligned(kKeyinPrompt, central);
    keyin_->setObjectName(QStringLiteral("keyin"));
    // Wide enough for the prompt, so the boxes do not move when it turns into a count.
    keyin_->setMinimumWidth(keyin_->sizeHint().width());
    auto* answers = new QGridLayout;
    answers->addWidget(rightAligned(QStringLiteral("標準答案："), central), 0, 0);
    answers->addWidget(in[3], 0, 1);
    answers->addWidget(keyin_, 1, 0);
    answers->addWidget(in[4], 1, 1);
    answers->setColumnStretch(1, 1);

    autoNumber_ = new QPushButton(QStringLiteral("自動編號"), central);
    autoNumber_->setObjectName(QStringLiteral("自動編號"));
    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("學生作答答案答案"), central));
    range->addStretch(1);
    range->addWidget(new QLabel(QStringLiteral("請輸入學生id起始號碼："), central));
    range->addWidget(in[5]);
    range->addSpacing(12);
    range->addWidget(new QLabel(QStringLiteral("請輸入學生id結束號碼："), central));
    range->addWidget(in[6]);
    range->addSpacing(12);
    range->addWidget(autoNumber_);

    studentData_ = new LineBreakTextBox(central);
    studentData_->setObjectName(QStringLiteral("studentData"));
    studentData_->setFont(kaiFont());

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(answers);
    layout->addSpacing(6);
    layout->addLayout(range);
    layout->addWidget(studentData_, 1);
}

QString frmData::studentDataText() const {
    return studentData_->modelText();
}

QString frmData::keyinCaption() const {
    return keyin_->text();
}

void frmData::onDataInputChanged(int index) {
    // The name box and the missing-data code leave the count alone.
    if (index < 2) return;
    const int typed = charLength(inputs_[3]->text()) + charLength(inputs_[4]->text());
    keyin_->setText(QStringLiteral("%1題").arg(typed));
}

void frmData::newFile() {
    for (QLineEdit* box : inputs_)
        box->clear();
    keyin_->setText(kKeyinPrompt);
    studentData_->clear();
}

void frmData::openFile() {
    // The dialog keeps the file chosen last.
    dataFile()->setInitDir(context().dataFolder);
    const QString path = dataFile()->choose(this, dialogs());
    if (path.isEmpty()) return;
    const auto text = readChosenFile(path);
    if (!text) return;
    const auto opened = openDataFile(*text);
    if (!opened) {
        showProblem(QStringLiteral("這個檔案不足三行，不是基本資料檔：\n%1").arg(path));
        return;
    }
    inputs_[0]->setText(toQString(nameFromPath(utf8Of(path))));
    inputs_[1]->setText(toQString(opened->missingCode));
    inputs_[2]->setText(toQString(opened->errorCode));
    inputs_[3]->setText(toQString(opened->answers.first));
    if (opened->answers.rest) inputs_[4]->setText(toQString(*opened->answers.rest));
    studentData_->appendModelText(toQString(opened->students));
}

void frmData::autoNumber() {
    const auto lines = numberedLines(wholeNumberAt(utf8Of(inputs_[5]->text())),
                                     wholeNumberAt(utf8Of(inputs_[6]->text())));
    if (!lines) {
        showProblem(
            QStringLiteral("號碼範圍太大：自動編號一次最多 %1 行。").arg(kMaxNumberedLines));
        return;
    }
    studentData_->appendModelText(toQString(*lines));
}

bool frmData::save() {
    const DataFileFields fields{utf8Of(inputs_[1]->text()), utf8Of(inputs_[2]->text()),
                                utf8Of(inputs_[3]->text()), utf8Of(inputs_[4]->text()),
                                utf8Of(studentDataText())};
    return writeEditorFile(context().dataFolder, inputs_[0]->text(), dataFileText(fields));
}

}  // namespace qv::app
