#pragma once

#include <QDialog>

#include "analysis/student_matrices.h"
#include "pathfinder/pfnet.h"

class QComboBox;
class QSpinBox;

namespace qv::app {

// The parameters of a standard Pathfinder network run: r (infinity or 1), q
// (2 to n - 1, n - 1 at first) and the referent (the design's standard, the
// top P % of the class, or the class). A value collector: the caller reads
// params() and referent() once the dialog is accepted.
class frmPfnetOptions : public QDialog {
    Q_OBJECT
  public:
    frmPfnetOptions(int conceptCount, PfnetParams initial, ReferentChoice referent = {},
                    QWidget* parent = nullptr);

    // q is 0 when it is n - 1, so that it stays n - 1 for a class of another size.
    PfnetParams params() const;
    ReferentChoice referent() const;

  private:
    int most_;  // n - 1
    QComboBox* r_ = nullptr;
    QSpinBox* q_ = nullptr;
    QComboBox* referent_ = nullptr;
    QSpinBox* bestPercent_ = nullptr;
};

}  // namespace qv::app
