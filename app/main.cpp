// The program entry: one application object and one window, until the window closes.
#include <QApplication>

#include "app/main_window.h"

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    MainWindow window;
    window.show();
    return application.exec();
}
