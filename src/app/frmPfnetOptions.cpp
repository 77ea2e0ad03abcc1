#include "frmPfnetOptions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace qv::app {

frmPfnetOptions::frmPfnetOptions(int conceptCount, PfnetParams initial, ReferentChoice referent,
                                 QWidget* parent)
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

    referent_ = new QComboBox(this);
    referent_->setObjectName(QStringLiteral("cboReferent"));
    referent_->addItem(QStringLiteral("題目設計的標準網路"));
    referent_->addItem(QStringLiteral("分數最高的學生"));
    referent_->addItem(QStringLiteral("全班學生"));
    referent_->setToolTip(
        QStringLiteral("學生的距離矩陣加總後求 PFNET；比較某位學生時，總和不含他自己。"));
    bestPercent_ = new QSpinBox(this);
    bestPercent_->setObjectName(QStringLiteral("spnBestPercent"));
    bestPercent_->setRange(1, 100);
    bestPercent_->setSuffix(QStringLiteral(" %"));
    // Whole percents here; the command line takes decimals too.
    bestPercent_->setValue(referent.kind == ReferentKind::Best
                               ? static_cast<int>(std::clamp<std::int64_t>(
                                     (referent.bestThousandths + 999) / 1000, 1, 100))
                               : 27);
    referent_->setCurrentIndex(referent.kind == ReferentKind::Best    ? 1
                               : referent.kind == ReferentKind::Class ? 2
                                                                      : 0);
    bestPercent_->setEnabled(referent_->currentIndex() == 1);
    connect(referent_, &QComboBox::currentIndexChanged, this,
            [this](int index) { bestPercent_->setEnabled(index == 1); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("r（路徑的長度）："), r_);
    form->addRow(QStringLiteral("q（路徑最多的連結數，%1 到 %2）：").arg(q_->minimum()).arg(most_),
                 q_);
    form->addRow(QStringLiteral("參照（學生與誰比較）："), referent_);
    form->addRow(QStringLiteral("分數最高的前："), bestPercent_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ReferentChoice frmPfnetOptions::referent() const {
    switch (referent_->currentIndex()) {
        case 1:
            return {ReferentKind::Best, std::int64_t{bestPercent_->value()} * 1000};
        case 2:
            return {ReferentKind::Class, 0};
        default:
            return {};
    }
}

PfnetParams frmPfnetOptions::params() const {
    const int q = q_->value();
    return {r_->currentIndex() == 1 ? PfnetR::One : PfnetR::Infinity, q >= most_ ? 0 : q};
}

}  // namespace qv::app
