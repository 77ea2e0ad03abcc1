#include "identity.h"

#include <QCoreApplication>
#include <QVersionNumber>

#include "quorvane_version.h"

namespace qv::app {

void setApplicationIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(
        QVersionNumber(QV_VERSION_MAJOR, QV_VERSION_MINOR, QV_VERSION_PATCH).toString());
}

QString applicationTitle() {
    return QCoreApplication::applicationName();
}

QString versionText(const QString& prefix, int major, int minor, int revision) {
    return prefix + QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString applicationVersionText(const QString& prefix) {
    const QVersionNumber v = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return versionText(prefix, v.majorVersion(), v.minorVersion(), v.microVersion());
}

}  // namespace qv::app
