#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qv::app {

class Dialogs;

// The about box: title, version, the two notices and the system-information
// button. Shown modal, built afresh each time.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout(Dialogs& dialogs, QWidget* parent = nullptr);

  private slots:
    void onSysInfo();

  private:
    Dialogs& dialogs_;
};

}  // namespace qv::app
