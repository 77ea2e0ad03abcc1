#include "frmDebug.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app_context.h"
#include "core/limits.h"
#include "dialogs.h"
#include "fonts.h"
#include "screen_fit.h"
#include "frmStudent.h"
#include "report/draw_report.h"
#include "speed_test_runner.h"
#include "text_box.h"

namespace qv::app {

namespace {

const QString kTitle = QStringLiteral("驗證算則是否正確");

constexpr std::array<const char*, 5> kCommandCaptions = {
    "利用P272的例子驗證GTD距離矩陣", "利用P272的例子驗證GTD，PFC算則",
    "利用P272的例子驗證連結指標算則", "利用P272的例子1-2驗證圖形輸出",
    "利用P272的例子1-3驗證圖形輸出"};

struct SpeedButton {
    const char* name;
    const char* caption;
};
// The second button shows its control name behind a one-letter tag, like the
// third ("L1") and the fourth ("O").
constexpr std::array<SpeedButton, 4> kSpeedButtons = {{
    {"算則一速度測試", "算則一速度測試"},
    {"算則二速度測試", "T算則二速度測試"},
    {"算則三速度測試", "L1算則三速度測試"},
    {"算則四速度測試", "O算則四速度測試"},
}};

// The progress bar's marks: start, sample phase done, random phase done.
constexpr int kProgressSample = 100;
constexpr int kProgressEnd = kProgressMax;

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

frmDebug::frmDebug(AppContext& context, StudentWindowSource studentWindow, QWidget* parent)
    : QWidget(parent, Qt::Window),
      context_(context),
      studentWindow_(std::move(studentWindow)),
      uniformFactory_(systemUniformSource),
      runner_(new SpeedTestRunner(this)) {
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(kTitle);
    buildControls();
    connect(runner_, &SpeedTestRunner::phaseFinished, this, &frmDebug::onPhaseFinished);
    connect(runner_, &SpeedTestRunner::finished, this, [this] {
        setBusy(false);
        if (closeWhenIdle_) close();
    });
    setBusy(false);
    resizeWithinScreen(*this, QSize(920, 640));
}

frmDebug::~frmDebug() {
    // Stops and joins a running test before anything it reports to is gone.
    delete runner_;
}

void frmDebug::buildControls() {
    auto* left = new QVBoxLayout;
    left->addWidget(buildExampleButtons());
    left->addWidget(buildSpeedFrame());
    left->addStretch(1);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("進度"));
    progress_->setRange(0, kProgressEnd);
    progress_->setValue(0);
    left->addWidget(progress_);

    result_ = new QPlainTextEdit(this);
    result_->setObjectName(QStringLiteral("結果"));
    result_->setFont(kaiFont(12));
    result_->setReadOnly(true);
    result_->setLineWrapMode(QPlainTextEdit::NoWrap);
    result_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    result_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* leftPane = new QWidget(this);
    leftPane->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    // The buttons scroll on a screen too low for them all.
    QScrollArea* leftScroll = scrollWhenSmall(leftPane, this);
    leftScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    leftScroll->setFixedWidth(300 + leftScroll->verticalScrollBar()->sizeHint().width());

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(leftScroll);
    layout->addWidget(result_, 1);
}

QWidget* frmDebug::buildExampleButtons() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    const std::array<void (frmDebug::*)(), 5> handlers = {
        &frmDebug::onCommand1, &frmDebug::onCommand2, &frmDebug::onCommand3, &frmDebug::onCommand4,
        &frmDebug::onCommand5};
    for (std::size_t c = 0; c < commands_.size(); ++c) {
        commands_[c] = button(QStringLiteral("Command%1").arg(c + 1),
                              QString::fromUtf8(kCommandCaptions[c]), box);
        commands_[c]->setMinimumHeight(34);
        column->addWidget(commands_[c]);
        connect(commands_[c], &QPushButton::clicked, this, handlers[c]);
    }
    return box;
}

QWidget* frmDebug::buildSpeedFrame() {
    auto* frame = new QGroupBox(QStringLiteral("程式速度測試"), this);
    frame->setObjectName(QStringLiteral("Frame3"));
    auto* grid = new QGridLayout(frame);
    const std::array<QString, 2> labels = {QStringLiteral("請輸入概念數："),
                                           QStringLiteral("請輸入隨機最大值：")};
    const std::array<QString, 2> initial = {QStringLiteral("20"), QStringLiteral("10")};
    for (int k = 0; k < 2; ++k) {
        auto* label = new QLabel(labels[static_cast<std::size_t>(k)], frame);
        label->setObjectName(QStringLiteral("Label2_%1").arg(k));
        auto* box = new QLineEdit(initial[static_cast<std::size_t>(k)], frame);
        box->setObjectName(QStringLiteral("ForTest_%1").arg(k));
        label->setBuddy(box);
        forTest_[static_cast<std::size_t>(k)] = box;
        grid->addWidget(label, k, 0);
        grid->addWidget(box, k, 1);
    }
    for (std::size_t b = 0; b < speedButtons_.size(); ++b) {
        speedButtons_[b] = button(QString::fromUtf8(kSpeedButtons[b].name),
                                  QString::fromUtf8(kSpeedButtons[b].caption), frame);
        grid->addWidget(speedButtons_[b], static_cast<int>(b) + 2, 0, 1, 2);
        connect(speedButtons_[b], &QPushButton::clicked, this,
                [this, b] { onSpeedTest(static_cast<int>(b)); });
    }
    auto* note = new QLabel(QStringLiteral("本測試的概念距離矩陣由隨機所造成！"), frame);
    note->setObjectName(QStringLiteral("Label3"));
    note->setWordWrap(true);
    grid->addWidget(note, 6, 0, 1, 2);

    // While a test runs: what it is doing, and a way out.
    busyLabel_ = new QLabel(frame);
    busyLabel_->setObjectName(QStringLiteral("lblBusy"));
    busy_ = new QProgressBar(frame);
    busy_->setObjectName(QStringLiteral("busyIndicator"));
    busy_->setRange(0, 0);
    busy_->setTextVisible(false);
    busy_->setMaximumHeight(14);
    for (QWidget* w : {static_cast<QWidget*>(busyLabel_), static_cast<QWidget*>(busy_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    cancel_ = button(QStringLiteral("cmdCancel"), QStringLiteral("取消"), frame);
    connect(cancel_, &QPushButton::clicked, this, &frmDebug::onCancel);
    grid->addWidget(busyLabel_, 7, 0);
    grid->addWidget(cancel_, 7, 1);
    grid->addWidget(busy_, 8, 0, 1, 2);
    return frame;
}

QString frmDebug::resultText() const {
    return QString::fromStdString(resultModel_);
}

bool frmDebug::speedTestRunning() const {
    return runner_->running();
}

void frmDebug::setResult(std::string text) {
    resultModel_ = std::move(text);
    result_->setPlainText(toDisplayText(resultModel_));
}

void frmDebug::appendResult(const std::string& text) {
    resultModel_ += text;
    result_->setPlainText(toDisplayText(resultModel_));
    result_->verticalScrollBar()->setValue(result_->verticalScrollBar()->maximum());
}

void frmDebug::onCommand1() {
    setResult(examples_.graphDistanceText(std::string(kLineBreak)));
}

void frmDebug::onCommand2() {
    setResult(examples_.indexText(std::string(kLineBreak)));
}

void frmDebug::onCommand3() {
    appendResult(examples_.linkRateText(std::string(kLineBreak)));
}

void frmDebug::onCommand4() {
    drawExample(2);
}

void frmDebug::onCommand5() {
    drawExample(3);
}

void frmDebug::drawExample(int p) {
    if (!studentWindow_) return;
    frmStudent* window = studentWindow_();
    if (window == nullptr) return;
    window->showCentred();
    const std::string caption = p == 2 ? "Sample272_2" : "Sample272_3";
    DrawReport(
        window->canvas(),
        exampleReportData(caption, examples_.network(1), examples_.network(p), ExampleLabels(),
                          examples_.results()[static_cast<std::size_t>(p - 2)]));
}

void frmDebug::onSpeedTest(int button) {
    if (runner_->running() || button < 0 || button >= static_cast<int>(kSpeedAlgorithms.size()))
        return;
    SpeedTestRunner::Job job;
    job.algorithm = kSpeedAlgorithms[static_cast<std::size_t>(button)];
    job.sample = builtInSampleMatrix();
    job.lineBreak = std::string(kLineBreak);
    if (hasRandomPhase(job.algorithm)) {
        auto inputs =
            parseSpeedInputs(forTest_[0]->text().toStdString(), forTest_[1]->text().toStdString());
        if (!inputs) {
            context_.dialogs.message(this, QMessageBox::Warning, kTitle,
                                     QString::fromStdString(inputs.error().message()));
            return;
        }
        job.random = *inputs;
        job.uniform = uniformFactory_();
    }
    progress_->setValue(0);
    setResult({});
    cancelShown_ = false;
    setBusy(true);
    runner_->start(std::move(job));
}

void frmDebug::onCancel() {
    runner_->cancel();
    setBusy(runner_->running());
}

void frmDebug::onPhaseFinished(int phase, const PhaseResult& result) {
    switch (result.status) {
        case PhaseResult::Status::Done:
            appendResult(result.text);
            progress_->setValue(phase == 0 ? kProgressSample : kProgressEnd);
            break;
        case PhaseResult::Status::Failed:
            context_.dialogs.message(this, QMessageBox::Warning, kTitle,
                                     QString::fromStdString(result.text));
            break;
        case PhaseResult::Status::Cancelled:
            if (!cancelShown_) appendResult("已取消" + std::string(kLineBreak));
            cancelShown_ = true;
            break;
    }
}

void frmDebug::setBusy(bool busy) {
    for (QPushButton* b : commands_)
        b->setEnabled(!busy);
    for (QPushButton* b : speedButtons_)
        b->setEnabled(!busy);
    for (QLineEdit* e : forTest_)
        e->setEnabled(!busy);
    const bool cancelling = runner_->cancelling();
    cancel_->setEnabled(busy && !cancelling);
    busy_->setVisible(busy);
    busyLabel_->setVisible(busy);
    busyLabel_->setText(cancelling ? QStringLiteral("正在取消…") : QStringLiteral("測試執行中…"));
}

void frmDebug::closeEvent(QCloseEvent* event) {
    if (runner_->running()) {
        // A first-order call cannot be interrupted: rather than freeze the
        // program until it ends, the window goes away now and closes for good
        // when the test has stopped.
        runner_->cancel();
        closeWhenIdle_ = true;
        hide();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmDebug::showEvent(QShowEvent* event) {
    closeWhenIdle_ = false;  // opened again before a pending close came due
    QWidget::showEvent(event);
}

}  // namespace qv::app
