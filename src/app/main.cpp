#include <QApplication>

#include "application.h"

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    qv::app::Application app;
    app.start();
    return QApplication::exec();
}
