#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    showMainWindow(window);
    return QApplication::exec();
}
