#include "count_editor.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/editor_format.h"
#include "editor_widgets.h"
#include "fonts.h"
#include "screen_fit.h"

namespace qv::app {

CountEditor::CountEditor(AppContext& context, QWidget* parent, const Setup& setup)
    : EditorWindow(context, parent), folder_(setup.folder) {
    setObjectName(setup.objectName);
    setWindowTitle(setup.caption);
    buildMenu({QStringLiteral("檔案(&F)"), QStringLiteral("新增(&N)"), QStringLiteral("開啟(&O)"),
               QStringLiteral("儲存並離開(&S)"), QStringLiteral("離開(&X)")});
    inputs_[0] = makeDataInput(0, setup.initialName);
    inputs_[1] = makeDataInput(1, setup.initialCount);
    box_ = new LineBreakTextBox(this);
    box_->setObjectName(setup.boxName);
    box_->setFont(kaiFont());
    autoNumber_ = new QPushButton(QStringLiteral("自動編號"), this);
    autoNumber_->setObjectName(QStringLiteral("自動編號"));
    connect(autoNumber_, &QPushButton::clicked, this, &CountEditor::autoNumber);
    arrange(setup);
    fitToScreen(*this, sizeHint().expandedTo(QSize(640, 520)));
}

void CountEditor::arrange(const Setup& setup) {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    const QFontMetrics metrics(inputs_[0]->font());
    inputs_[0]->setMinimumWidth(metrics.horizontalAdvance(QString(16, u'0')) + 16);
    inputs_[1]->setFixedWidth(metrics.horizontalAdvance(QString(6, u'0')) + 16);
    auto* nameLabel = new QLabel(setup.nameLabel, central);
    auto* countLabel = new QLabel(setup.countLabel, central);

    auto* layout = new QVBoxLayout(central);
    if (setup.oneRow) {
        auto* row = new QHBoxLayout;
        row->addWidget(nameLabel);
        row->addWidget(inputs_[0], 1);
        row->addSpacing(12);
        row->addWidget(countLabel);
        row->addWidget(inputs_[1]);
        row->addSpacing(12);
        row->addWidget(autoNumber_);
        layout->addLayout(row);
    } else {
        auto* grid = new QGridLayout;
        nameLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        countLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(nameLabel, 0, 0);
        grid->addWidget(inputs_[0], 0, 1, 1, 3);
        grid->addWidget(countLabel, 1, 0);
        grid->addWidget(inputs_[1], 1, 1);
        grid->addWidget(autoNumber_, 1, 2);
        grid->setColumnStretch(3, 1);
        layout->addLayout(grid);
    }
    box_->setParent(central);
    layout->addWidget(box_, 1);
}

QString CountEditor::folder() const {
    return context().*folder_;
}

QString CountEditor::largeBoxText() const {
    return box_->modelText();
}

void CountEditor::newFile() {
    inputs_[0]->clear();
    inputs_[1]->clear();
    box_->clear();
}

void CountEditor::openFile() {
    dataFile()->setFileName(QString());
    dataFile()->setInitDir(folder());
    const QString path = dataFile()->choose(this, dialogs());
    if (path.isEmpty()) return;
    const auto text = readChosenFile(path);
    if (!text) return;
    const auto opened = openCountFile(*text);
    if (!opened) {
        showProblem(QStringLiteral("這個檔案是空的：\n%1").arg(path));
        return;
    }
    inputs_[0]->setText(toQString(nameFromPath(utf8Of(path))));
    inputs_[1]->setText(toQString(opened->count));
    box_->appendModelText(toQString(opened->lines));
}

void CountEditor::autoNumber() {
    const auto lines = numberedLines(1, wholeNumberAt(utf8Of(inputs_[1]->text())));
    if (!lines) {
        showProblem(QStringLiteral("數目太大：自動編號一次最多 %1 行。").arg(kMaxNumberedLines));
        return;
    }
    box_->setModelText(toQString(*lines));
}

bool CountEditor::save() {
    return writeEditorFile(folder(), inputs_[0]->text(),
                           countFileText(utf8Of(inputs_[1]->text()), utf8Of(largeBoxText())));
}

}  // namespace qv::app
