#include "frmCompare.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app_context.h"
#include "chart_view.h"
#include "compare_export.h"
#include "core/limits.h"
#include "core/number_text.h"
#include "data_folders.h"
#include "dialogs.h"
#include "report/class_charts.h"
#include "report/compare_drawing.h"
#include "task_runner.h"

namespace qv::app {

namespace {

// The designs in the order of the list.
constexpr std::array kDesigns{CompareDesign::TwoClasses, CompareDesign::Paired,
                              CompareDesign::ScoreSplit, CompareDesign::IdSplit};
constexpr std::array<const char*, 4> kDesignNames{"兩個班級（A 與 B 班）",
                                                  "同一批學生的兩次測驗（前測 A、後測 B）",
                                                  "依得分分成前段與後段", "依學號名單分組"};
constexpr std::array<const char*, 3> kPageNames{"網路", "概念對", "PFC 變化"};

QString folderOf(const QString& file) {
    return QFileInfo(file).absoluteDir().dirName();
}

QString methodLabel(const AppContext& context) {
    const QString name =
        context.runName.isEmpty() ? QStringLiteral("Tamsel一階三角算則") : context.runName;
    return QStringLiteral("方法：%1（主視窗最近一次執行的方法）").arg(name);
}

}  // namespace

frmCompare::frmCompare(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), runner_(new TaskRunner(this)) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("比較兩組"));
    buildControls();
    buildMenus();
    connect(runner_, &TaskRunner::progress, progress_, &QProgressBar::setValue);
    connect(runner_, &TaskRunner::finished, this, [this] {
        setRunning(false);
        outcome_ = std::make_unique<CompareOutcome>(std::move(*pending_).value());
        pending_.reset();
        showOutcome();
    });
    connect(runner_, &TaskRunner::failed, this, [this](const QString& text) {
        setRunning(false);
        refuse(text);
    });
    connect(runner_, &TaskRunner::cancelled, this, [this] {
        setRunning(false);
        message_->setText(QStringLiteral("已取消比較；先前的結果保留。"));
    });
    designChanged();
    setRunning(false);
    resize(1180, 720);
}

frmCompare::~frmCompare() = default;

void frmCompare::buildControls() {
    auto* central = new QWidget(this);
    auto* form = new QFormLayout;
    design_ = new QComboBox(central);
    design_->setObjectName(QStringLiteral("cboDesign"));
    for (const char* name : kDesignNames)
        design_->addItem(QString::fromUtf8(name));
    form->addRow(QStringLiteral("比較方式："), design_);

    const auto fileRow = [&](const char* edit, const char* button, QLineEdit*& line,
                             QPushButton*& choose) {
        auto* row = new QWidget(central);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        line = new QLineEdit(row);
        line->setObjectName(QString::fromLatin1(edit));
        choose = new QPushButton(QStringLiteral("選擇…"), row);
        choose->setObjectName(QString::fromLatin1(button));
        layout->addWidget(line, 1);
        layout->addWidget(choose);
        return row;
    };
    QWidget* folderRow = fileRow("txtFolderB", "btnChooseB", folderB_, chooseB_);
    form->addRow(QStringLiteral("B 的班級資料夾："), folderRow);
    percent_ = new QDoubleSpinBox(central);
    percent_->setObjectName(QStringLiteral("spnPercent"));
    percent_->setRange(0.1, 50);
    percent_->setDecimals(1);
    percent_->setValue(27);
    percent_->setSuffix(QStringLiteral(" %"));
    form->addRow(QStringLiteral("前段與後段各取："), percent_);
    QWidget* idRow = fileRow("txtIdFile", "btnChooseIds", idFile_, chooseIds_);
    form->addRow(QStringLiteral("學號名單檔："), idRow);
    designRows_ = {folderRow, percent_, idRow};

    permutations_ = new QSpinBox(central);
    permutations_->setObjectName(QStringLiteral("spnPermutations"));
    permutations_->setRange(1, static_cast<int>(kMaxPermutations));
    permutations_->setValue(10'000);
    permutations_->setGroupSeparatorShown(true);
    form->addRow(QStringLiteral("置換次數："), permutations_);
    seed_ = new QSpinBox(central);
    seed_->setObjectName(QStringLiteral("spnSeed"));
    seed_->setRange(0, std::numeric_limits<int>::max());
    seed_->setValue(1);
    form->addRow(QStringLiteral("亂數種子："), seed_);
    method_ = new QLabel(methodLabel(context_), central);
    method_->setObjectName(QStringLiteral("lblCompareMethod"));
    method_->setWordWrap(true);
    form->addRow(method_);

    run_ = new QPushButton(QStringLiteral("執行"), central);
    run_->setObjectName(QStringLiteral("btnRunCompare"));
    run_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("取消"), central);
    cancel_->setObjectName(QStringLiteral("btnCancelCompare"));
    progress_ = new QProgressBar(central);
    progress_->setObjectName(QStringLiteral("prgCompare"));
    progress_->setRange(0, kProgressMax);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addWidget(progress_, 1);
    message_ = new QLabel(central);
    message_->setObjectName(QStringLiteral("lblCompareMessage"));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    tabs_ = new QTabWidget(central);
    tabs_->setObjectName(QStringLiteral("tabsCompare"));
    for (int page = 0; page < 3; ++page) {
        auto* view = new ChartView(tabs_);
        view->setObjectName(QStringLiteral("chartCompare%1").arg(page + 1));
        views_.push_back(view);
        tabs_->addTab(view, QString::fromUtf8(kPageNames[static_cast<std::size_t>(page)]));
    }
    table_ = new QTableWidget(tabs_);
    table_->setObjectName(QStringLiteral("tblPairs"));
    table_->setColumnCount(7);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("概念對"), QStringLiteral("概念"), QStringLiteral("概念"),
         QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("p"), QStringLiteral("q")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->setAlternatingRowColors(true);
    tabs_->addTab(table_, QStringLiteral("表格"));

    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addLayout(buttons);
    side->addWidget(message_);
    side->addStretch(1);
    auto* sideWidget = new QWidget(central);
    sideWidget->setLayout(side);
    sideWidget->setMaximumWidth(420);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(sideWidget);
    layout->addWidget(tabs_, 1);
    setCentralWidget(central);

    connect(design_, &QComboBox::currentIndexChanged, this, &frmCompare::designChanged);
    connect(run_, &QPushButton::clicked, this, &frmCompare::run);
    connect(cancel_, &QPushButton::clicked, runner_, &TaskRunner::cancel);
    connect(chooseB_, &QPushButton::clicked, this, [this] {
        const QString folder = context_.dialogs.openFolder(
            this, QStringLiteral("選擇 B 的班級資料夾"), folderB_->text());
        if (!folder.isEmpty()) folderB_->setText(folder);
    });
    connect(chooseIds_, &QPushButton::clicked, this, [this] {
        const QString file = context_.dialogs.openFile(
            this, QStringLiteral("選擇學號名單檔"), QFileInfo(idFile_->text()).absolutePath(),
            QStringLiteral("學號名單 (*.txt *.csv);;所有檔案 (*)"));
        if (!file.isEmpty()) idFile_->setText(file);
    });
}

void frmCompare::designChanged() {
    const std::size_t d = static_cast<std::size_t>(std::max(design_->currentIndex(), 0));
    const CompareDesign design = kDesigns[d];
    const bool folder = design == CompareDesign::TwoClasses || design == CompareDesign::Paired;
    designRows_[0]->setEnabled(folder);
    designRows_[1]->setEnabled(design == CompareDesign::ScoreSplit);
    designRows_[2]->setEnabled(design == CompareDesign::IdSplit);
}

CompareRequest frmCompare::request() const {
    CompareRequest r;
    r.design = kDesigns[static_cast<std::size_t>(std::max(design_->currentIndex(), 0))];
    r.classA = context_.classData;
    r.nameA = folderOf(context_.inputFiles[0]).toStdString();
    r.folderB = toPath(folderB_->text().trimmed());
    r.thousandths = std::llround(percent_->value() * 1000);
    r.idFile = toPath(idFile_->text().trimmed());
    r.method = context_.runMethod;
    r.permutations = static_cast<std::uint64_t>(permutations_->value());
    r.seed = static_cast<std::uint64_t>(seed_->value());
    return r;
}

void frmCompare::run() {
    if (runner_->running()) return;
    method_->setText(methodLabel(context_));
    const CompareRequest r = request();
    if (const auto problem = compareRequestProblem(r)) {
        refuse(QString::fromStdString(*problem));
        return;
    }
    message_->clear();
    auto result = std::make_shared<Expected<CompareOutcome>>(errorText(""));
    pending_ = result;
    setRunning(true);
    runner_->start([r, result](const std::atomic<bool>& cancel,
                               const std::function<void(int)>& progress) -> Expected<void> {
        *result = runComparison(r, cancel, progress);
        if (!*result) return result->error();
        return {};
    });
}

void frmCompare::setRunning(bool running) {
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    for (QWidget* w : {static_cast<QWidget*>(design_), static_cast<QWidget*>(permutations_),
                       static_cast<QWidget*>(seed_)})
        w->setEnabled(!running);
    for (QAction* a : outputs_)
        a->setEnabled(!running && outcome_);
    if (running) progress_->setValue(0);
    if (!running) designChanged();
    for (QWidget* row : designRows_)
        if (running) row->setEnabled(false);
}

void frmCompare::refuse(const QString& text) {
    message_->setText(
        QStringLiteral("<span style='color:#c00000'>%1</span>").arg(text.toHtmlEscaped()));
}

std::vector<RecordingCanvas> frmCompare::pages() const {
    if (!outcome_) return {};
    return render::comparePages(outcome_->results, outcome_->positions);
}

void frmCompare::showOutcome() {
    const std::vector<RecordingCanvas> drawn = pages();
    for (std::size_t k = 0; k < views_.size(); ++k) {
        const bool shown = k < drawn.size();
        tabs_->setTabVisible(static_cast<int>(k), shown);
        views_[k]->setPicture(shown ? drawn[k] : RecordingCanvas{});
    }
    fillTable();
    for (QAction* a : outputs_)
        a->setEnabled(true);
    const CompareResults& r = outcome_->results;
    message_->setText(
        QStringLiteral("完成：A %1 人、B %2 人，%3 次置換%4。")
            .arg(r.sides[0].students)
            .arg(r.sides[1].students)
            .arg(QString::fromStdString(numberText(static_cast<double>(r.tests.permutations))))
            .arg(r.tests.exact ? QStringLiteral("（全部列舉）") : QStringLiteral("（隨機抽取）")));
}

void frmCompare::fillTable() {
    const CompareResults& r = outcome_->results;
    const std::vector<const PairTest*> rows = pairsByP(r);
    table_->setRowCount(static_cast<int>(rows.size()));
    const auto cell = [&](int row, int column, const std::string& text, bool number) {
        auto* item = new QTableWidgetItem(QString::fromStdString(text));
        if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, column, item);
    };
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const PairTest& t = *rows[k];
        const int row = static_cast<int>(k);
        cell(row, 0, numberText(t.i + 1) + "–" + numberText(t.j + 1), false);
        cell(row, 1, conceptLabel(t.i, r.labels), false);
        cell(row, 2, conceptLabel(t.j, r.labels), false);
        cell(row, 3, numberText(t.a), true);
        cell(row, 4, numberText(t.b), true);
        cell(row, 5, pValueText(t.p), true);
        cell(row, 6, pValueText(t.q), true);
    }
    for (int side = 0; side < 2; ++side)
        table_->horizontalHeaderItem(3 + side)->setText(
            QString::fromStdString((side == 0 ? "A：" : "B：") + r.sides[std::size_t(side)].name));
    table_->resizeColumnsToContents();
}

}  // namespace qv::app
