#include "frmImport.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app_context.h"
#include "core/number_text.h"
#include "data/class_folder.h"
#include "data/loaders.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmMain.h"
#include "screen_fit.h"
#include "sheet_preview.h"

namespace qv::app {

namespace {

// A long sheet's preview: its first rows, its last (where a key row often
// is) and the rows the choices or a refusal point at.
constexpr std::size_t kPreviewHead = 200;
constexpr std::size_t kPreviewTail = 20;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString count(std::size_t n) {
    return QString::fromStdString(numberText(static_cast<double>(n)));
}

std::string fileNameOf(const QString& path) {
    return QFileInfo(path).fileName().toStdString();
}

QString sheetFilter() {
    return QStringLiteral("試算表 (*.csv *.tsv *.txt *.xlsx *.ods);;所有檔案 (*)");
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int width = 0) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (width > 0) edit->setMaximumWidth(width);
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// The file's sheet names into the combo; a CSV file has one without a name.
bool fillSheets(QComboBox* combo, const std::string& bytes, const std::string& name, Error& error) {
    auto names = sheetNames(bytes, name);
    if (!names) {
        error = names.error();
        return false;
    }
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const std::string& sheet : *names)
        combo->addItem(sheet.empty() ? QStringLiteral("（CSV 只有一張）") : qs(sheet), qs(sheet));
    combo->setEnabled(names->size() > 1);
    return true;
}

}  // namespace

frmImport::frmImport(AppContext& context, frmMain& main, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), main_(main) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("匯入試算表"));
    buildControls();
    choicesChanged();
    resizeWithinScreen(*this, QSize(1280, 700));
}

frmImport::~frmImport() {
    model_->setSheet(nullptr, {});
}

void frmImport::buildControls() {
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(buildAnswerBox());
    split->addWidget(buildConceptBox());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("班級資料夾："), this));
    folder_ = lineEdit(this, "txtFolder");
    folder_->setPlaceholderText(QStringLiteral("三個資料檔寫在這裡；建議每班每次測驗一個資料夾"));
    folderRow->addWidget(folder_, 1);
    auto* chooseFolderButton = button(this, "cmdFolder", QStringLiteral("選擇…"));
    folderRow->addWidget(chooseFolderButton);
    connect(chooseFolderButton, &QPushButton::clicked, this, &frmImport::chooseFolder);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lblSummary"));
    summary_->setWordWrap(true);
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("lblError"));
    error_->setWordWrap(true);
    error_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error_->setStyleSheet(QStringLiteral("color: #C00000;"));
    error_->hide();

    import_ = button(this, "cmdImport", QStringLiteral("匯入並載入"));
    import_->setDefault(true);
    auto* close = button(this, "cmdClose", QStringLiteral("關閉"));
    connect(import_, &QPushButton::clicked, this, &frmImport::onImport);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addLayout(folderRow);
    layout->addWidget(error_);
    layout->addLayout(buttons);
}

QWidget* frmImport::buildAnswerBox() {
    auto* box = new QGroupBox(QStringLiteral("作答表"), this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("檔案："), box));
    answerFile_ = lineEdit(box, "txtAnswerFile");
    answerFile_->setReadOnly(true);
    fileRow->addWidget(answerFile_, 1);
    auto* choose = button(box, "cmdAnswerFile", QStringLiteral("選擇…"));
    fileRow->addWidget(choose);
    fileRow->addWidget(new QLabel(QStringLiteral("工作表："), box));
    answerSheet_ = new QComboBox(box);
    answerSheet_->setObjectName(QStringLiteral("cboAnswerSheet"));
    fileRow->addWidget(answerSheet_);
    connect(choose, &QPushButton::clicked, this, &frmImport::chooseAnswerFile);
    connect(answerSheet_, &QComboBox::currentIndexChanged, this, &frmImport::readAnswerSheet);

    auto* partsRow = new QHBoxLayout;
    partsRow->addWidget(new QLabel(QStringLiteral("學號欄："), box));
    idColumn_ = lineEdit(box, "txtIdColumn", 80);
    partsRow->addWidget(idColumn_);
    pickId_ = new QToolButton(box);
    pickId_->setObjectName(QStringLiteral("btnPickId"));
    pickId_->setText(QStringLiteral("點選"));
    pickId_->setToolTip(QStringLiteral("按下後，點預覽上方的欄字母選學號欄"));
    pickId_->setCheckable(true);
    partsRow->addWidget(pickId_);
    partsRow->addSpacing(12);
    partsRow->addWidget(new QLabel(QStringLiteral("題目欄："), box));
    items_ = lineEdit(box, "txtItems", 100);
    items_->setPlaceholderText(QStringLiteral("學號欄之後全部"));
    partsRow->addWidget(items_);
    partsRow->addSpacing(12);
    partsRow->addWidget(new QLabel(QStringLiteral("標準答案："), box));
    keyRowChoice_ = new QRadioButton(QStringLiteral("第"), box);
    keyRowChoice_->setObjectName(QStringLiteral("optKeyRow"));
    keyRowChoice_->setChecked(true);
    partsRow->addWidget(keyRowChoice_);
    keyRow_ = lineEdit(box, "txtKeyRow", 60);
    partsRow->addWidget(keyRow_);
    partsRow->addWidget(new QLabel(QStringLiteral("列"), box));
    keyTextChoice_ = new QRadioButton(QStringLiteral("直接輸入："), box);
    keyTextChoice_->setObjectName(QStringLiteral("optKeyText"));
    partsRow->addWidget(keyTextChoice_);
    key_ = lineEdit(box, "txtKey");
    partsRow->addWidget(key_, 1);
    for (QLineEdit* edit : {idColumn_, items_, keyRow_, key_})
        connect(edit, &QLineEdit::textEdited, this, &frmImport::choicesChanged);
    connect(keyRow_, &QLineEdit::textEdited, keyRowChoice_,
            [this] { keyRowChoice_->setChecked(true); });
    connect(key_, &QLineEdit::textEdited, keyTextChoice_,
            [this] { keyTextChoice_->setChecked(true); });
    connect(keyRowChoice_, &QRadioButton::toggled, this, &frmImport::choicesChanged);

    auto* hint =
        new QLabel(QStringLiteral("點欄的字母選題目欄（可拖曳選一段）；點列號選標準答案列。"
                                  "<span style='background:#CFE2F3'>&nbsp;學號&nbsp;</span> "
                                  "<span style='background:#D9EAD3'>&nbsp;題目&nbsp;</span> "
                                  "<span style='background:#FFE599'>&nbsp;標準答案&nbsp;</span>"),
                   box);
    hint->setWordWrap(true);

    model_ = new SheetPreviewModel(this);
    preview_ = new QTableView(box);
    preview_->setObjectName(QStringLiteral("tblPreview"));
    preview_->setModel(model_);
    preview_->setSelectionMode(QAbstractItemView::SingleSelection);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->horizontalHeader()->setDefaultSectionSize(56);
    preview_->horizontalHeader()->setMinimumSectionSize(24);
    preview_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 8);
    preview_->verticalHeader()->setSectionsClickable(true);
    connect(preview_->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &frmImport::onColumnPressed);
    connect(preview_->horizontalHeader(), &QHeaderView::sectionEntered, this,
            &frmImport::onColumnEntered);
    connect(preview_->verticalHeader(), &QHeaderView::sectionClicked, this,
            &frmImport::onRowClicked);

    auto* layout = new QVBoxLayout(box);
    layout->addLayout(fileRow);
    layout->addLayout(partsRow);
    layout->addWidget(hint);
    layout->addWidget(preview_, 1);
    return box;
}

bool frmImport::setAnswerFile(const QString& file) {
    auto bytes = readFileBytes(toPath(file));
    Error error;
    if (!bytes) {
        showError(bytes.error());
        return false;
    }
    if (!fillSheets(answerSheet_, *bytes, fileNameOf(file), error)) {
        showError(error);
        return false;
    }
    answerPath_ = file;
    answerBytes_ = std::move(*bytes);
    answerFile_->setText(QDir::toNativeSeparators(file));
    // A folder beside the sheet, named after it, until the user picks one.
    if (!folder_->isModified()) {
        const QFileInfo info(file);
        folder_->setText(
            QDir::toNativeSeparators(info.absolutePath() + u'/' + info.completeBaseName()));
    }
    readAnswerSheet();
    return !!answers_;
}

void frmImport::chooseAnswerFile() {
    const QString file = context_.dialogs.openFile(
        this, QStringLiteral("選擇作答檔"), QFileInfo(answerPath_).absolutePath(), sheetFilter());
    if (!file.isEmpty()) setAnswerFile(file);
}

void frmImport::readAnswerSheet() {
    model_->setSheet(nullptr, {});
    answers_.reset();
    if (answerPath_.isEmpty()) return;
    auto sheet = readSheet(answerBytes_, fileNameOf(answerPath_),
                           answerSheet_->currentData().toString().toStdString());
    if (!sheet) {
        choicesChanged();
        showError(sheet.error());
        return;
    }
    answers_ = std::move(*sheet);
    const AnswerFields defaults = defaultFields(*answers_);
    showFields(defaults);
    std::vector<std::size_t> extra;
    if (auto key = keyRowOf(defaults)) extra.push_back(*key);
    model_->setSheet(&*answers_,
                     previewRows(answers_->rowCount(), kPreviewHead, kPreviewTail, extra));
    preview_->resizeColumnToContents(0);
    choicesChanged();
}

AnswerFields frmImport::fields() const {
    AnswerFields f;
    f.idColumn = idColumn_->text().toStdString();
    f.items = items_->text().toStdString();
    f.keyRow = keyRow_->text().toStdString();
    f.key = key_->text().toStdString();
    f.typeKey = keyTextChoice_->isChecked();
    return f;
}

void frmImport::showFields(const AnswerFields& f) {
    idColumn_->setText(qs(f.idColumn));
    items_->setText(qs(f.items));
    keyRow_->setText(qs(f.keyRow));
    key_->setText(qs(f.key));
    (f.typeKey ? keyTextChoice_ : keyRowChoice_)->setChecked(true);
}

void frmImport::choicesChanged() {
    error_->hide();
    if (!answers_) {
        model_->setParts({}, {}, {});
        summary_->setText(QStringLiteral("請選擇作答檔。"));
        return;
    }
    const Sheet& sheet = *answers_;
    const std::string name = fileNameOf(answerPath_);
    const AnswerFields f = fields();
    auto layout = answerLayout({sheet, name}, f);
    if (!layout) {
        model_->setParts({}, {}, {});
        summary_->setText(qs(layout.error().message()));
        return;
    }
    const auto items = itemColumns(sheet, *layout);
    const auto keyRow = f.typeKey ? std::nullopt : keyRowOf(f);
    model_->setParts(layout->idColumn, items, keyRow);
    if (items && gridFile_.empty()) {
        std::vector<std::string> labels;
        for (std::size_t c = items->first; c <= items->second; ++c)
            labels.emplace_back(sheet.cell(0, c));
        setItemRows(labels);
    }
    const std::size_t itemCount = items ? items->second - items->first + 1 : 0;
    QString text = QStringLiteral("將匯入 %1 位學生、%2 題、%3 個概念")
                       .arg(count(studentRows(sheet, *layout, keyRow)), count(itemCount),
                            count(std::size_t(grid_->columnCount())));
    text += f.typeKey ? QStringLiteral("；標準答案直接輸入")
            : keyRow  ? QStringLiteral("；標準答案在第 %1 列").arg(count(*keyRow + 1))
                     : QStringLiteral("；沒有標準答案列（答案全是 0/1 時視為已計分）");
    if (const std::size_t rows = std::size_t(std::max(0, grid_->rowCount() - 1)); rows != itemCount)
        text += QStringLiteral("。概念表有 %1 題，與題目欄不符").arg(count(rows));
    summary_->setText(text + QStringLiteral("。"));
}

void frmImport::onColumnPressed(int column) {
    if (!answers_) return;
    const std::string letters = columnLetters(std::size_t(column));
    if (pickId_->isChecked()) {
        pickId_->setChecked(false);
        dragAnchor_.reset();
        idColumn_->setText(qs(letters));
    } else {
        dragAnchor_ = std::size_t(column);
        items_->setText(qs(letters + ":" + letters));
    }
    choicesChanged();
}

void frmImport::onColumnEntered(int column) {
    if (!dragAnchor_ || !answers_) return;
    const auto [first, last] = std::minmax(*dragAnchor_, std::size_t(column));
    items_->setText(qs(columnLetters(first) + ":" + columnLetters(last)));
    choicesChanged();
}

void frmImport::onRowClicked(int row) {
    if (!answers_ || row < 0 || row >= model_->rowCount()) return;
    const std::size_t sheetRow = model_->sheetRow(row);
    if (sheetRow == 0) return;  // the headers
    keyRow_->setText(count(sheetRow + 1));
    keyRowChoice_->setChecked(true);
    choicesChanged();
}

void frmImport::setClassFolder(const QString& folder) {
    folder_->setText(QDir::toNativeSeparators(folder));
    folder_->setModified(true);
}

void frmImport::chooseFolder() {
    const QString folder =
        context_.dialogs.openFolder(this, QStringLiteral("選擇班級資料夾"), folder_->text());
    if (!folder.isEmpty()) setClassFolder(folder);
}

QString frmImport::errorText() const {
    return error_->isHidden() ? QString() : error_->text();
}

QString frmImport::summaryText() const {
    return summary_->text();
}

void frmImport::showError(const QString& text) {
    error_->setText(text);
    error_->show();
}

// The cell at fault is selected where the window shows it.
void frmImport::showError(const Error& error) {
    showError(qs(error.message()));
    if (error.cell.empty() || error.line < 1 || error.field < 1) return;
    const auto row = std::size_t(error.line - 1), column = std::size_t(error.field - 1);
    if (answers_ && error.file == fileNameOf(answerPath_) && error.sheet == answers_->name) {
        if (!model_->viewRow(row)) {
            const AnswerFields f = fields();
            std::vector<std::size_t> extra{row};
            if (auto key = keyRowOf(f)) extra.push_back(*key);
            model_->setSheet(&*answers_,
                             previewRows(answers_->rowCount(), kPreviewHead, kPreviewTail, extra));
            choicesChanged();
            showError(qs(error.message()));
        }
        const QModelIndex at = model_->index(*model_->viewRow(row), int(column));
        preview_->setCurrentIndex(at);
        preview_->scrollTo(at);
        preview_->setFocus();
    } else if (error.file == gridFile_ && error.sheet == gridSheet_ && column > 0 &&
               int(row) < grid_->rowCount() && int(column) <= grid_->columnCount()) {
        grid_->setCurrentCell(int(row), int(column) - 1);
        grid_->setFocus();
    }
}

void frmImport::onImport() {
    error_->hide();
    if (!answers_) return showError(QStringLiteral("請先選擇作答檔。"));
    const QString folder = QDir::fromNativeSeparators(folder_->text().trimmed());
    if (folder.isEmpty()) return showError(QStringLiteral("請選擇班級資料夾。"));
    if (grid_->columnCount() == 0) {
        return showError(
            QStringLiteral("請選擇概念表，或在「概念數」設定概念後，在格子中勾選各題涉及的概念。"));
    }
    if (main_.running()) return showError(QStringLiteral("分析正在進行，請等它結束再匯入。"));
    auto layout = answerLayout({*answers_, fileNameOf(answerPath_)}, fields());
    if (!layout) return showError(layout.error());
    const Sheet qmatrix = conceptSheet(conceptGridShown(), gridSheet_);
    auto imported =
        importClass({*answers_, fileNameOf(answerPath_)}, *layout, {qmatrix, gridFile_});
    if (!imported) return showError(imported.error());
    // What is written must load: checked before a file is touched.
    if (auto loads = readClass(
            ClassText{imported->conceptFile, imported->itemConceptFile, imported->studentFile});
        !loads)
        return showError(loads.error());
    const std::filesystem::path dir = toPath(folder);
    const ClassFiles old = classFolderFiles(dir);
    std::error_code ec;
    if ((std::filesystem::exists(old.data, ec) || std::filesystem::exists(old.concepts, ec) ||
         std::filesystem::exists(old.items, ec)) &&
        !context_.dialogs.question(
            this, windowTitle(),
            QStringLiteral("資料夾「%1」已有班級的資料檔，要以匯入的班級取代嗎？")
                .arg(QDir::toNativeSeparators(folder)),
            QStringLiteral("取代")))
        return;
    if (auto written = writeClassFolder(dir, *imported); !written)
        return showError(written.error());
    if (main_.openClassFolder(folder)) close();
}

}  // namespace qv::app
