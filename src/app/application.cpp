#include "application.h"

#include <QApplication>
#include <QStandardPaths>

#include "data_folders.h"
#include "dialogs.h"
#include "fonts.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "identity.h"
#include "logo.h"

namespace qv::app {

Application::Application(Dialogs* dialogs) {
    setApplicationIdentity();
    installFonts();
    QApplication::setWindowIcon(applicationIcon());
    if (dialogs == nullptr) {
        ownDialogs_ = std::make_unique<QtDialogs>();
        dialogs = ownDialogs_.get();
    }
    context_.dialogs = dialogs;
}

Application::~Application() = default;

frmMain& Application::start(const QString& appDir, const QString& fallback) {
    auto splash = std::make_unique<frmSplash>();
    splash->showNow();

    setDataFolders(context_, dataRoot(appDir, fallback));
    main_ = std::make_unique<frmMain>(context_);
    main_->load();

    splash->close();
    splash.reset();
    main_->show();
    return *main_;
}

frmMain& Application::start() {
    return start(QCoreApplication::applicationDirPath(),
                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

}  // namespace qv::app
