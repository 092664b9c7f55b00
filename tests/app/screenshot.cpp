// Takes the screenshots in docs/: drives the real window through a whole run
// (boxes and file dialogs answered as in the widget tests), opens the datapath
// dock on the chosen chart, points at a variable that has partners, and grabs
// the whole screen with ImageMagick's import; or runs the Explore dialog with
// its opening lists and grabs the dialog. Meant to run under a virtual display
// (scripts/screenshots.sh).
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QProcess>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

#include "app/chart_canvas.h"
#include "app/datapath_view.h"
#include "app/explore_dialog.h"
#include "tests/app/window_driver.h"

using namespace velnor;

// velnor_screenshot explore DFG OUT.png [EMBEDDING]: the Explore dialog on DFG
// and library_a after a run with the lists it opens with (and the embedding
// choice named, if one is), the cheapest row selected.
int explore_shot(const QString &dfg, const QString &output, const QString &embedding) {
    const QByteArray core = dfg.toUtf8();
    test::WindowDriver driver;
    driver.window.setGeometry(0, 0, 1600, 1000);
    driver.drive_to(1, test::RunInputs{core.constData()});
    driver.window.findChild<QAction *>("actionExplore")->trigger();
    auto *dialog = driver.window.findChild<ExploreDialog *>();
    if (!embedding.isEmpty())
        dialog->findChild<QComboBox *>("embeddings")->setCurrentText(embedding);
    auto *run = dialog->findChild<QPushButton *>("run");
    QTest::mouseClick(run, Qt::LeftButton);
    if (!QTest::qWaitFor([run] { return run->isEnabled(); }, 30 * 60 * 1000)) {
        std::fprintf(stderr, "the exploration did not finish\n");
        return 1;
    }
    auto *table = dialog->findChild<QTableWidget *>("results");
    table->sortItems(2);  // overhead, least first
    table->selectRow(0);
    QTest::qWait(500);
    return dialog->grab().save(output) ? 0 : 1;
}

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if ((arguments.size() == 4 || arguments.size() == 5) && arguments[1] == "explore")
        return explore_shot(arguments[2], arguments[3], arguments.value(4));
    if (arguments.size() != 13 && !(arguments.size() == 14 && arguments[13] == "strong")) {
        std::fprintf(stderr,
                     "usage: velnor_screenshot DFG ADDERS MULTIPLIERS SUBTRACTORS COMPARATORS COUNT ENCODINGS ORDER "
                     "ROUNDS SIZE schedule|registers OUT.png [strong]\n"
                     "       velnor_screenshot explore DFG OUT.png [EMBEDDING]\n");
        return 2;
    }
    QByteArray values[10];
    for (int index = 0; index < 10; ++index)
        values[index] = arguments[index + 1].toUtf8();
    test::RunInputs inputs{values[0].constData(), values[1].constData(), values[2].constData(),
                           values[5].constData(), values[6].constData(), values[7].constData(),
                           values[8].constData(), values[9].constData()};
    if (values[3] != "-")
        inputs.subtractors = values[3].constData();
    if (values[4] != "-")
        inputs.comparators = values[4].constData();
    const bool registers = arguments[11] == "registers";
    const QString output = arguments[12];

    test::WindowDriver driver;
    driver.window.setGeometry(0, 0, 1600, 1000);
    if (arguments.size() == 14)
        driver.window.findChild<QAction *>("actionStrong_embedding")->setChecked(true);
    driver.drive_to(8, inputs);
    driver.window.findChild<QAction *>("actionDatapath")->trigger();
    auto *dock = driver.find<QDockWidget>("datapath_dock");
    driver.window.resizeDocks({dock}, {620}, Qt::Vertical);
    driver.window.resizeDocks({dock}, {1150}, Qt::Horizontal);
    driver.find<QTabWidget>("chart_tabs")->setCurrentIndex(registers ? 1 : 0);

    QTimer::singleShot(800, [&] {
        if (registers) {
            // Point at a variable kept apart from a few others (or held beside
            // a partner, in a strong run), and scroll to it.
            auto *canvas = driver.find<ChartCanvas>("register_canvas");
            const auto &chart = driver.window.datapath_view()->charts()->registers;
            const charts::VariableBar *chosen = nullptr;
            for (const auto &bar : chart.bars)
                if (!chosen && !bar.together.empty() && bar.register_number > 3)
                    chosen = &bar;
            for (const auto &bar : chart.bars)
                if (!bar.partners.empty() && (!chosen || (bar.partners.size() >= 2 && bar.register_number > 3 &&
                                                          (chosen->partners.size() < 2 ||
                                                           bar.partners.size() < chosen->partners.size()))))
                    chosen = &bar;
            if (chosen) {
                const QPointF place(chosen->box.x - chart.frame.x + 5, chosen->box.y - chart.frame.y + 5);
                canvas->point_at(place);
                if (auto *area = qobject_cast<QScrollArea *>(canvas->parentWidget()->parentWidget()))
                    area->ensureVisible(qRound(place.x()), qRound(place.y()), 300, 200);
            }
        }
    });
    QTimer::singleShot(2000, [&] {
        const int status = QProcess::execute("import", {"-window", "root", output});
        application.exit(status);
    });
    return application.exec();
}
