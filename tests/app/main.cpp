// Runs the widget tests inside one QApplication on the offscreen platform
// unless another platform is asked for.
#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

QtMessageHandler previous_handler = nullptr;

// The offscreen platform warns about every window whose size hints change;
// the warning says nothing about the window under test.
void quiet_platform_messages(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (message.contains("does not support propagateSizeHints"))
        return;
    if (previous_handler)
        previous_handler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    previous_handler = qInstallMessageHandler(quiet_platform_messages);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
