// The program entry: one application object and one window, until the window closes.
#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "core/version.h"

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(velnor::product_name);
    QApplication::setApplicationVersion(velnor::product_version);
    // Lets the desktop match the running window to its menu entry and icon, once installed.
    QGuiApplication::setDesktopFileName("io.github.velnor.Velnor");
    QApplication::setWindowIcon(QIcon::fromTheme("io.github.velnor.Velnor"));
    MainWindow window;
    window.show();
    return application.exec();
}
