// The import window's Q-matrix: a file's sheet read into a grid of check
// boxes, or the grid filled in and pasted into here.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app_context.h"
#include "core/limits.h"
#include "data/loaders.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmImport.h"

namespace qv::app {

namespace {

// The grid's own name in messages, once it no longer is a file's sheet.
constexpr const char* kGridName = "題目 × 概念";
constexpr int kLabelRow = 0;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QTableWidgetItem* markCell(bool mark) {
    auto* cell = new QTableWidgetItem;
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    cell->setCheckState(mark ? Qt::Checked : Qt::Unchecked);
    return cell;
}

}  // namespace

QWidget* frmImport::buildConceptBox() {
    gridSheet_ = kGridName;
    auto* box = new QGroupBox(QStringLiteral("概念表（題目 × 概念）"), this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("檔案："), box));
    qmatrixFile_ = new QLineEdit(box);
    qmatrixFile_->setObjectName(QStringLiteral("txtQMatrixFile"));
    qmatrixFile_->setReadOnly(true);
    qmatrixFile_->setPlaceholderText(QStringLiteral("（或直接在下方勾選）"));
    fileRow->addWidget(qmatrixFile_, 1);
    auto* choose = new QPushButton(QStringLiteral("選擇…"), box);
    choose->setObjectName(QStringLiteral("cmdQMatrixFile"));
    choose->setAutoDefault(false);
    fileRow->addWidget(choose);
    fileRow->addWidget(new QLabel(QStringLiteral("工作表："), box));
    qmatrixSheet_ = new QComboBox(box);
    qmatrixSheet_->setObjectName(QStringLiteral("cboQMatrixSheet"));
    qmatrixSheet_->setEnabled(false);
    fileRow->addWidget(qmatrixSheet_);
    connect(choose, &QPushButton::clicked, this, &frmImport::chooseQMatrixFile);
    connect(qmatrixSheet_, &QComboBox::currentIndexChanged, this, &frmImport::readQMatrixSheet);

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(QStringLiteral("概念數："), box));
    concepts_ = new QSpinBox(box);
    concepts_->setObjectName(QStringLiteral("spnConcepts"));
    concepts_->setRange(0, kMaxConcepts);
    countRow->addWidget(concepts_);
    auto* hint = new QLabel(
        QStringLiteral("第一列是概念名稱；勾選各題涉及的概念。可從試算表複製 0/1 的格子，"
                       "點一格後按 Ctrl+V 貼上。"),
        box);
    hint->setWordWrap(true);
    countRow->addWidget(hint, 1);
    connect(concepts_, &QSpinBox::valueChanged, this, [this](int n) {
        if (filling_) return;
        setConceptCount(n);
        gridEdited();
    });

    grid_ = new QTableWidget(1, 0, box);
    grid_->setObjectName(QStringLiteral("tblConcepts"));
    grid_->setVerticalHeaderLabels({QStringLiteral("概念名稱")});
    grid_->horizontalHeader()->setDefaultSectionSize(64);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) gridEdited();
    });

    auto* layout = new QVBoxLayout(box);
    layout->addLayout(fileRow);
    layout->addLayout(countRow);
    layout->addWidget(grid_, 1);
    return box;
}

bool frmImport::setQMatrixFile(const QString& file) {
    auto bytes = readFileBytes(toPath(file));
    if (!bytes) {
        showError(bytes.error());
        return false;
    }
    auto names = sheetNames(*bytes, QFileInfo(file).fileName().toStdString());
    if (!names) {
        showError(names.error());
        return false;
    }
    qmatrixPath_ = file;
    qmatrixBytes_ = std::move(*bytes);
    {
        const QSignalBlocker quiet(qmatrixSheet_);
        qmatrixSheet_->clear();
        for (const std::string& sheet : *names)
            qmatrixSheet_->addItem(sheet.empty() ? QStringLiteral("（CSV 只有一張）") : qs(sheet),
                                   qs(sheet));
        // The answers' workbook often holds the Q-matrix on its next sheet.
        if (file == answerPath_ && names->size() > 1)
            qmatrixSheet_->setCurrentIndex(
                std::min(answerSheet_->currentIndex() + 1, int(names->size()) - 1));
        qmatrixSheet_->setEnabled(names->size() > 1);
    }
    readQMatrixSheet();
    return gridFile_ == QFileInfo(file).fileName().toStdString();
}

void frmImport::chooseQMatrixFile() {
    const QString start =
        QFileInfo(qmatrixPath_.isEmpty() ? answerPath_ : qmatrixPath_).absolutePath();
    const QString file = context_.dialogs.openFile(
        this, QStringLiteral("選擇概念表"), start,
        QStringLiteral("試算表 (*.csv *.tsv *.txt *.xlsx *.ods);;所有檔案 (*)"));
    if (!file.isEmpty()) setQMatrixFile(file);
}

// A sheet that does not fit the grid leaves the grid as it was.
void frmImport::readQMatrixSheet() {
    if (qmatrixPath_.isEmpty()) return;
    const std::string name = QFileInfo(qmatrixPath_).fileName().toStdString();
    auto sheet =
        readSheet(qmatrixBytes_, name, qmatrixSheet_->currentData().toString().toStdString());
    if (!sheet) return showError(sheet.error());
    auto grid = conceptGrid({*sheet, name});
    if (!grid) return showError(grid.error());
    fillGrid(*grid);
    gridFile_ = name;
    gridSheet_ = sheet->name;
    qmatrixFile_->setText(QDir::toNativeSeparators(qmatrixPath_));
    choicesChanged();
}

void frmImport::fillGrid(const ConceptGrid& grid) {
    filling_ = true;
    concepts_->setValue(int(grid.concepts.size()));
    grid_->clearContents();
    grid_->setColumnCount(int(grid.concepts.size()));
    grid_->setRowCount(int(grid.marks.size()) + 1);
    for (std::size_t c = 0; c < grid.concepts.size(); ++c)
        grid_->setItem(kLabelRow, int(c), new QTableWidgetItem(qs(grid.concepts[c])));
    for (std::size_t m = 0; m < grid.marks.size(); ++m)
        for (std::size_t c = 0; c < grid.concepts.size(); ++c)
            grid_->setItem(int(m) + 1, int(c), markCell(grid.marks[m][c]));
    QStringList labels{QStringLiteral("概念名稱")};
    for (const std::string& item : grid.items)
        labels << qs(item);
    grid_->setVerticalHeaderLabels(labels);
    filling_ = false;
}

ConceptGrid frmImport::conceptGridShown() const {
    ConceptGrid grid;
    for (int c = 0; c < grid_->columnCount(); ++c) {
        const QTableWidgetItem* label = grid_->item(kLabelRow, c);
        grid.concepts.push_back(label ? label->text().trimmed().toStdString() : std::string());
    }
    for (int r = 1; r < grid_->rowCount(); ++r) {
        const QTableWidgetItem* header = grid_->verticalHeaderItem(r);
        grid.items.push_back(header ? header->text().toStdString() : std::string());
        auto& marks = grid.marks.emplace_back();
        for (int c = 0; c < grid_->columnCount(); ++c) {
            const QTableWidgetItem* cell = grid_->item(r, c);
            marks.push_back(cell && cell->checkState() == Qt::Checked);
        }
    }
    return grid;
}

// New concepts are named for the user to rename; their items start unticked.
void frmImport::setConceptCount(int count) {
    const bool wasFilling = std::exchange(filling_, true);
    const int before = grid_->columnCount();
    grid_->setColumnCount(count);
    for (int c = before; c < count; ++c) {
        grid_->setItem(kLabelRow, c, new QTableWidgetItem(QStringLiteral("概念%1").arg(c + 1)));
        for (int r = 1; r < grid_->rowCount(); ++r)
            grid_->setItem(r, c, markCell(false));
    }
    if (concepts_->value() != count) concepts_->setValue(count);
    filling_ = wasFilling;
}

void frmImport::setItemRows(const std::vector<std::string>& labels) {
    const bool wasFilling = std::exchange(filling_, true);
    const int before = grid_->rowCount();
    grid_->setRowCount(int(labels.size()) + 1);
    for (int r = before; r < grid_->rowCount(); ++r)
        for (int c = 0; c < grid_->columnCount(); ++c)
            grid_->setItem(r, c, markCell(false));
    QStringList headers{QStringLiteral("概念名稱")};
    for (std::size_t m = 0; m < labels.size(); ++m)
        headers << (labels[m].empty() ? QString::number(m + 1) : qs(labels[m]));
    grid_->setVerticalHeaderLabels(headers);
    filling_ = wasFilling;
}

// An edited grid is the window's own: its rows follow the item columns again.
void frmImport::gridEdited() {
    if (!gridFile_.empty()) {
        gridFile_.clear();
        gridSheet_ = kGridName;
        qmatrixFile_->clear();
    }
    choicesChanged();
}

bool frmImport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        pasteIntoGrid();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// A block copied from a spreadsheet lands with its top left on the current
// cell: names on the label row, marks below. Any cell that is not a mark
// refuses the whole paste; concepts are added for a block that reaches past
// the last one.
void frmImport::pasteIntoGrid() {
    const auto cells = pastedCells(QApplication::clipboard()->text().toStdString());
    if (cells.empty()) return;
    const int top = std::max(grid_->currentRow(), 0), left = std::max(grid_->currentColumn(), 0);
    std::size_t width = 0;
    for (const auto& row : cells)
        width = std::max(width, row.size());
    if (top + int(cells.size()) > grid_->rowCount()) {
        return showError(QStringLiteral("貼上的內容有 %1 列，從這一列往下只有 %2 列。")
                             .arg(cells.size())
                             .arg(grid_->rowCount() - top));
    }
    if (left + int(width) > kMaxConcepts)
        return showError(QStringLiteral("貼上後會超過 %1 個概念的上限。").arg(kMaxConcepts));
    for (std::size_t r = 0; r < cells.size(); ++r) {
        if (top + int(r) == kLabelRow) continue;
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            if (!markOf(cells[r][c])) {
                return showError(
                    QStringLiteral("貼上的第 %1 列第 %2 格「%3」不是 1（或 x、✓）、0 或空白，"
                                   "沒有貼上任何格子。")
                        .arg(r + 1)
                        .arg(c + 1)
                        .arg(qs(cells[r][c])));
            }
        }
    }
    filling_ = true;
    if (left + int(width) > grid_->columnCount()) setConceptCount(left + int(width));
    for (std::size_t r = 0; r < cells.size(); ++r) {
        const int row = top + int(r);
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const int column = left + int(c);
            if (row == kLabelRow) {
                grid_->item(row, column)->setText(qs(cells[r][c]).trimmed());
            } else {
                grid_->item(row, column)
                    ->setCheckState(*markOf(cells[r][c]) ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    filling_ = false;
    gridEdited();
}

}  // namespace qv::app
