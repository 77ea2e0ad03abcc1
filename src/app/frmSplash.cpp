#include "frmSplash.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "fonts.h"
#include "identity.h"
#include "logo.h"

namespace qv::app {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    return l;
}

}  // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(applicationTitle());
    // Closing the splash before the main window shows must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);

    picLogo_ = label(frame, "picLogo", {});
    picLogo_->setPixmap(logoPixmap());
    picLogo_->setFixedSize(141, 166);

    lblProductName_ = label(frame, "lblProductName", applicationTitle());
    lblProductName_->setFont(kaiFont(30));
    lblPlatform_ = label(frame, "lblPlatform", QStringLiteral("Windows平台"));
    QFont big = lblPlatform_->font();
    big.setPointSize(big.pointSize() + 4);
    lblPlatform_->setFont(big);
    lblVersion_ = label(frame, "lblVersion", applicationVersionText(QStringLiteral("Version ")));
    lblVersion_->setFont(big);
    lblWarning_ = label(frame, "lblWarning",
                        QStringLiteral("【警告】本程式需要高速電腦運算，至少CPU處理能力為1G "
                                       "MHz以上，若您的電腦低於此要求，請酌量使用！"));
    lblWarning_->setWordWrap(true);

    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(24);
    grid->addWidget(picLogo_, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(lblProductName_, 0, 1, Qt::AlignRight);
    grid->addWidget(lblPlatform_, 1, 1, Qt::AlignRight);
    grid->addWidget(lblVersion_, 2, 1, Qt::AlignRight);
    grid->setRowStretch(3, 1);
    grid->addWidget(lblWarning_, 4, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(frame);
    setFixedWidth(520);
}

void frmSplash::showNow() {
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qv::app
