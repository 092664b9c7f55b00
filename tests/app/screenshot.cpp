// Takes the screenshots in docs/: drives the real window through a whole run
// (boxes and file dialogs answered as in the widget tests), then opens the
// datapath dock on the chosen chart and points at a variable that has
// partners, or shows the post-stego register view in a tall console, or
// verifies the run's own signed datapath and shows the verify box; or opens
// the example and runs it with the demo's values; or runs the Explore dialog
// with its opening lists. ImageMagick's import grabs the whole screen, the
// dialog grabs itself. Meant to run under a virtual display (scripts/screenshots.sh).
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QMessageBox>
#include <QProcess>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>

#include "app/chart_canvas.h"
#include "app/datapath_view.h"
#include "app/explore_dialog.h"
#include "flow/demo_inputs.h"
#include "tests/app/window_driver.h"

using namespace velnor;

namespace {

// Grabs the screen into output after a while and ends the program with import's status.
void grab_later(QApplication &application, const QString &output, int milliseconds = 2000) {
    QTimer::singleShot(milliseconds, [&application, output] {
        application.exit(QProcess::execute("import", {"-window", "root", output}));
    });
}

// File > Open example, then the demo's values typed in, and three of the views.
int example(QApplication &application, const QString &output) {
    test::WindowDriver driver;
    driver.window.setGeometry(0, 0, 1600, 1000);
    driver.find<QAction>("actionOpenExample")->trigger();
    const DemoInputs &demo = demo_inputs();
    const QByteArray count = QByteArray::number(QString(demo.encodings).split(' ', Qt::SkipEmptyParts).size());
    test::RunInputs inputs{nullptr, demo.adders, demo.multipliers, count.constData(), demo.encodings,
                           demo.order, demo.rounds, demo.size};
    inputs.subtractors = demo.subtractors;
    driver.drive_to(8, inputs, 1);
    driver.window.resizeDocks({driver.find<QDockWidget>("dockWidget")}, {420}, Qt::Vertical);
    for (const char *button : {"pushButton_8", "pushButton_13", "pushButton_17"})
        driver.click(button);
    grab_later(application, output);
    return application.exec();
}

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

}  // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments[1] == "example")
        return example(application, arguments[2]);
    if ((arguments.size() == 4 || arguments.size() == 5) && arguments[1] == "explore")
        return explore_shot(arguments[2], arguments[3], arguments.value(4));
    const QStringList shots{"schedule", "registers", "console", "verify"};
    if ((arguments.size() != 13 && !(arguments.size() == 14 && arguments[13] == "strong")) ||
        !shots.contains(arguments[11])) {
        std::fprintf(stderr,
                     "usage: velnor_screenshot DFG ADDERS MULTIPLIERS SUBTRACTORS COMPARATORS COUNT ENCODINGS ORDER "
                     "ROUNDS SIZE schedule|registers|console|verify OUT.png [strong]\n"
                     "       velnor_screenshot example OUT.png\n"
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
    const QString shot = arguments[11];
    const bool registers = shot == "registers";
    const QString output = arguments[12];

    test::WindowDriver driver;
    driver.window.setGeometry(0, 0, 1600, 1000);
    if (arguments.size() == 14)
        driver.window.findChild<QAction *>("actionStrong_embedding")->setChecked(true);
    driver.drive_to(8, inputs);
    if (shot == "console") {
        driver.window.resizeDocks({driver.find<QDockWidget>("dockWidget")}, {760}, Qt::Vertical);
        driver.click("pushButton_17");
        grab_later(application, output);
        return application.exec();
    }
    if (shot == "verify") {
        // The run's own signed datapath, exported and verified; the box the
        // window opens is shown as QtDialogs shows it.
        test::ScratchDir scratch;
        driver.dialogs->directories << QString::fromStdString(scratch.path());
        driver.find<QAction>("actionExportDatapath")->trigger();
        const QString name = driver.find<QLabel>("label_38")->text().section('.', 0, 0);
        driver.dialogs->files << QString::fromStdString(scratch.path()) + "/" + name + ".datapath.json";
        QString title, text;
        driver.dialogs->while_box_open = [&] {
            const QString asked = driver.dialogs->asked.last();
            title = asked.section(' ', 1, 1).chopped(1);
            text = asked.section(": ", 1);
        };
        driver.find<QAction>("actionVerifyDesign")->trigger();
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, &driver.window);
        box.show();
        grab_later(application, output);
        return application.exec();
    }
    driver.window.findChild<QAction *>("actionDatapath")->trigger();
    auto *dock = driver.find<QDockWidget>("datapath_dock");
    driver.window.resizeDocks({dock}, {620}, Qt::Vertical);
    driver.window.resizeDocks({dock}, {1150}, Qt::Horizontal);
    driver.find<QTabWidget>("chart_tabs")->setCurrentIndex(registers ? 1 : 0);
    driver.click("actual_size");

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
    grab_later(application, output);
    return application.exec();
}
