#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "application.h"
#include "command_line.h"

namespace {

// Nothing that escapes may end the program without a word: say so on stderr
// and leave with the failure status instead of aborting.
[[noreturn]] void lastResort() {
    std::cerr << "錯誤：Quorvane 發生未預期的問題，必須結束。已存檔的資料不受影響。\n";
    std::_Exit(2);
}

}  // namespace

int main(int argc, char* argv[]) {
    std::set_terminate(lastResort);
    // Answered before Qt starts: no display is needed to ask for the version.
    if (const auto status = qv::app::answerWithoutWindow(argc, argv, std::cout)) return *status;
    try {
        QApplication qapp(argc, argv);
        qv::app::Application app;
        app.start();
        return QApplication::exec();
    } catch (...) {
        lastResort();
    }
}
