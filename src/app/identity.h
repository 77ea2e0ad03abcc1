#pragma once

#include <QString>

namespace qv::app {

// The application's identity: title "Quorvane" and the version of the build.
// Call once after the application object exists.
void setApplicationIdentity();

// The title the windows show ("Quorvane").
QString applicationTitle();

// prefix + "major.minor.revision", e.g. versionText("Version ", 1, 0, 1) is "Version 1.0.1".
QString versionText(const QString& prefix, int major, int minor, int revision);

// versionText for the version of the running application.
QString applicationVersionText(const QString& prefix);

}  // namespace qv::app
