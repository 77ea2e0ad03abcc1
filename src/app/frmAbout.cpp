#include "frmAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "fonts.h"
#include "identity.h"
#include "logo.h"
#include "sysinfo.h"

namespace qv::app {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, bool wrap = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setWordWrap(wrap);
    return l;
}

// The sunken separator: a grey line over a white one.
QWidget* separator(QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("Line1"));
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    for (const QColor& c : {QColor(128, 128, 128), QColor(255, 255, 255)}) {
        auto* line = new QFrame(box);
        line->setFixedHeight(1);
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, c);
        line->setPalette(pal);
        v->addWidget(line);
    }
    return box;
}

}  // namespace

frmAbout::frmAbout(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("關於 Quorvane"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picIcon = label(this, "picIcon", {});
    picIcon->setPixmap(applicationIcon().pixmap(48, 48));
    picIcon->setFixedSize(48, 48);
    auto* lblTitle = label(this, "lblTitle", applicationTitle());
    lblTitle->setFont(kaiFont(20));
    auto* lblVersion = label(this, "lblVersion", applicationVersionText(QStringLiteral("版本 ")));
    auto* lblDescription =
        label(this, "lblDescription",
              QStringLiteral("【注意】本程式需要高速電腦運算，若您的電腦運算能力低於1G "
                             "MHz，請酌量使用！由於本程式是Beta版本，所以當您使用時若發生任何問題請"
                             "與我們聯絡！若有其他建議也請您盡量提供！"),
              true);
    auto* lblDisclaimer = label(
        this, "lblDisclaimer",
        QStringLiteral("警告: 本程式屬於Beta版本，所以在路徑分析時需要花費較多時間，由於新的運算"
                       "法尚在研發，預計將會在正式版時完成！在這之前本程式相當需要高速電腦的運算"
                       "能力！"),
        true);

    auto* cmdOK = new QPushButton(QStringLiteral("確定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    auto* cmdSysInfo = new QPushButton(QStringLiteral("系統資訊(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    cmdOK->setMinimumWidth(cmdSysInfo->sizeHint().width());
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::onSysInfo);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(10);
    grid->addWidget(picIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(separator(this), 3, 0, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(18);
    bottom->addWidget(lblDisclaimer, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    bottom->addLayout(buttons);
    grid->addLayout(bottom, 4, 0, 1, 2);
    setFixedWidth(600);
    // The wrapped notices decide the height.
    if (const int h = heightForWidth(600); h > 0) setFixedHeight(h);
    cmdOK->setFocus();
}

void frmAbout::onSysInfo() {
    startSysInfo(this, dialogs_);
}

}  // namespace qv::app
