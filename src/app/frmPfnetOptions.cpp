#include "frmPfnetOptions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace qv::app {

frmPfnetOptions::frmPfnetOptions(int conceptCount, PfnetParams initial, QWidget* parent)
    : QDialog(parent), most_(std::max(conceptCount - 1, 1)) {
    setObjectName(QStringLiteral("frmPfnetOptions"));
    setWindowTitle(QStringLiteral("標準 Pathfinder 網路"));

    auto* about =
        new QLabel(QStringLiteral("兩個概念之間若有一條不超過 q 個連結、比它們的距離更短的路徑，\n"
                                  "這兩個概念就不直接連結。q = n − 1 得到最精簡的網路。"),
                   this);
    about->setObjectName(QStringLiteral("lblAbout"));

    r_ = new QComboBox(this);
    r_->setObjectName(QStringLiteral("cboR"));
    r_->addItem(QStringLiteral("∞：路徑上最長的一個連結"));
    r_->addItem(QStringLiteral("1：路徑上所有連結的距離之和"));
    r_->setCurrentIndex(initial.r == PfnetR::One ? 1 : 0);

    q_ = new QSpinBox(this);
    q_->setObjectName(QStringLiteral("spnQ"));
    q_->setRange(std::min(2, most_), most_);
    q_->setValue(initial.q == 0 ? most_ : std::clamp(initial.q, q_->minimum(), most_));
    // Two concepts leave no choice.
    q_->setEnabled(q_->minimum() < most_);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("r（路徑的長度）："), r_);
    form->addRow(QStringLiteral("q（路徑最多的連結數，%1 到 %2）：").arg(q_->minimum()).arg(most_),
                 q_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

PfnetParams frmPfnetOptions::params() const {
    const int q = q_->value();
    return {r_->currentIndex() == 1 ? PfnetR::One : PfnetR::Infinity, q >= most_ ? 0 : q};
}

}  // namespace qv::app
