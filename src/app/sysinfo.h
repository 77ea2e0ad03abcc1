#pragma once

class QWidget;

namespace qv::app {

class Dialogs;

// Starts the operating system's system-information tool, or tells the user
// that it cannot ("此時的系統資訊無法取得").
void startSysInfo(QWidget* parent, Dialogs& dialogs);

}  // namespace qv::app
