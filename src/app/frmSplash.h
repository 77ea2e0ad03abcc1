#pragma once

#include <QWidget>

class QLabel;

namespace qv::app {

// The start-up window: logo, title, platform, version and the speed warning.
// No buttons; start-up closes it once the main window is loaded.
class frmSplash : public QWidget {
    Q_OBJECT
  public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the event loop runs.
    void showNow();

  private:
    QLabel* picLogo_;
    QLabel* lblProductName_;
    QLabel* lblPlatform_;
    QLabel* lblVersion_;
    QLabel* lblWarning_;
};

}  // namespace qv::app
