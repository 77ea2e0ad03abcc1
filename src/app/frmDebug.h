#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "student_query.h"
#include "verify/p272.h"
#include "verify/speed_test.h"

class QCloseEvent;
class QShowEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qv::app {

struct AppContext;
class SpeedTestRunner;

// The verification window: five checks on the seven-concept example and the
// speed tests of the four Pathfinder algorithms. The example's distances and
// results live as long as the window.
class frmDebug : public QWidget {
    Q_OBJECT
  public:
    frmDebug(AppContext& context, StudentWindowSource studentWindow, QWidget* parent = nullptr);
    ~frmDebug() override;

    // The result box's text model, exactly as built (lines end in LineBreak).
    QString resultText() const;
    const P272Examples& examples() const { return examples_; }
    bool speedTestRunning() const;

    // Where the random matrices come from; tests put in their own.
    void setUniformSourceFactory(std::function<UniformSource()> factory) {
        uniformFactory_ = std::move(factory);
    }

  public slots:
    void onCommand1();
    void onCommand2();
    void onCommand3();
    void onCommand4();
    void onCommand5();
    void onSpeedTest(int button);  // 0 .. 3
    void onCancel();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    QWidget* buildExampleButtons();
    QWidget* buildSpeedFrame();
    void drawExample(int p);
    void setResult(std::string text);
    void appendResult(const std::string& text);
    void setBusy(bool busy);
    void onPhaseFinished(int phase, const PhaseResult& result);

    AppContext& context_;
    StudentWindowSource studentWindow_;
    P272Examples examples_;
    std::string resultModel_;
    std::function<UniformSource()> uniformFactory_;
    SpeedTestRunner* runner_ = nullptr;
    bool closeWhenIdle_ = false;
    bool cancelShown_ = false;  // both phases may report the one cancel

    std::array<QPushButton*, 5> commands_{};
    std::array<QPushButton*, 4> speedButtons_{};
    std::array<QLineEdit*, 2> forTest_{};
    QPushButton* cancel_ = nullptr;
    QProgressBar* busy_ = nullptr;
    QLabel* busyLabel_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

}  // namespace qv::app
