#include "sysinfo.h"

#include <QMessageBox>
#include <QString>

#include "dialogs.h"
#include "identity.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <QFileInfo>
#include <QProcess>
#include <array>
#endif

namespace qv::app {

namespace {

#ifdef Q_OS_WIN
// Reads one string value of the registry; false when the key or the value is missing.
bool getKeyValue(HKEY keyRoot, const char* keyName, const char* subKeyRef, QString& keyVal) {
    keyVal.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(keyRoot, keyName, 0, 0x2003F, &key) != ERROR_SUCCESS) return false;
    std::array<char, 1024> buffer{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG rc = RegQueryValueExA(key, subKeyRef, nullptr, &type,
                                     reinterpret_cast<LPBYTE>(buffer.data()), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    buffer.back() = '\0';
    if (type == REG_SZ) keyVal = QString::fromLocal8Bit(buffer.data());
    return true;
}

QString sysInfoPath() {
    QString path;
    if (getKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                    path)) {
        return path;
    }
    QString folder;
    if (getKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                    folder)) {
        const QString candidate = folder + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return {};
}

bool launchSysInfo() {
    const QString path = sysInfoPath();
    return !path.isEmpty() && QProcess::startDetached(path, {});
}
#else
// No system-information tool is registered outside Windows.
bool launchSysInfo() {
    return false;
}
#endif

}  // namespace

void startSysInfo(QWidget* parent, Dialogs& dialogs) {
    if (launchSysInfo()) return;
    dialogs.message(parent, QMessageBox::NoIcon, applicationTitle(),
                    QStringLiteral("此時的系統資訊無法取得"));
}

}  // namespace qv::app
