// velnor-cli: the steganography flow of the desktop window, for scripts.
#include <iostream>

#include <unistd.h>

#include <QString>
#include <QStringList>

#include "cli/command_line.h"

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return velnor::cli::run_command_line(arguments, std::cout, std::cerr, velnor::system_time,
                                         isatty(STDERR_FILENO) == 1);
}
