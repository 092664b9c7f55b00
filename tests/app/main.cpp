// Runs the widget tests inside one QApplication, on the offscreen platform
// unless another platform is asked for.
#include <QApplication>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELNOR_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELNOR_ADDRESS_SANITIZER
#endif
#endif

#ifdef VELNOR_ADDRESS_SANITIZER
// Qt's libraries keep no frame pointers, so the fast unwinder stops inside
// them; whole allocation stacks let the leak suppressions name Qt's start-up.
extern "C" const char *__asan_default_options() { return "fast_unwind_on_malloc=0"; }
#endif

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
