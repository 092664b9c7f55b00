// The datapath view in the window: filled after each stage that produces its
// data, switched between the design before and after the embedding, pointed at
// with the mouse, zoomed, and exported.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QPushButton>
#include <QFile>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "app/chart_canvas.h"
#include "app/datapath_view.h"
#include "tests/app/window_driver.h"

namespace velnor::test {
namespace {

using Side = DatapathView::Side;

TEST(DatapathView, FilledAfterTheConstraintsAndAgainAfterTheEmbedding) {
    WindowDriver driver;
    DatapathView *view = driver.window.datapath_view();
    driver.drive_to(1);
    EXPECT_EQ(view->charts(), nullptr);

    driver.drive_to(2, {}, 1);
    ASSERT_NE(view->charts(), nullptr);
    EXPECT_EQ(view->charts()->schedule.operations.size(), 21u);  // fir
    EXPECT_NE(view->charts()->registers.title.text.find("before embedding"), std::string::npos);
    EXPECT_FALSE(driver.find<QComboBox>("side_switch")->isEnabled());  // nothing embedded yet
    for (const auto &bar : view->charts()->registers.bars)
        EXPECT_TRUE(bar.partners.empty() && !bar.moved) << bar.name;

    driver.drive_to(8, {}, 2);
    EXPECT_EQ(view->side(), Side::AfterEmbedding);
    EXPECT_TRUE(driver.find<QComboBox>("side_switch")->isEnabled());
    EXPECT_NE(view->charts()->registers.title.text.find("after embedding"), std::string::npos);
    int one_marked = 0;
    for (const auto &box : view->charts()->schedule.operations)
        one_marked += box.one_constraint;
    EXPECT_GT(one_marked, 0);

    // A new run starts empty.
    driver.dialogs->answer_yes = true;
    driver.window.findChild<QAction *>("actionReset")->trigger();
    EXPECT_EQ(view->charts(), nullptr);
}

TEST(DatapathView, SwitchShowsTheUnsignedDesignWithTheSameVariablesMarked) {
    WindowDriver driver;
    RunInputs inputs{"characterization/gen_247.txt", "2", "2", "2", "3 1", "10", "80 70 60 50", "450"};
    inputs.subtractors = "4";
    inputs.comparators = "2";
    driver.drive_to(8, inputs);
    DatapathView *view = driver.window.datapath_view();
    ASSERT_NE(view->charts(), nullptr);
    const auto after = view->charts()->registers;

    driver.find<QComboBox>("side_switch")->setCurrentIndex(static_cast<int>(Side::BeforeEmbedding));
    const auto before = view->charts()->registers;
    EXPECT_NE(before.title.text.find("before embedding"), std::string::npos);
    ASSERT_EQ(before.bars.size(), after.bars.size());
    int moved = 0;
    for (std::size_t index = 0; index < after.bars.size(); ++index) {
        EXPECT_EQ(before.bars[index].name, after.bars[index].name);
        EXPECT_EQ(before.bars[index].partners, after.bars[index].partners);
        // Moved on one side exactly when its register differs between the sides.
        const bool differs = before.bars[index].register_number != after.bars[index].register_number;
        EXPECT_EQ(after.bars[index].moved, differs) << after.bars[index].name;
        EXPECT_EQ(before.bars[index].moved, differs) << after.bars[index].name;
        moved += differs;
    }
    EXPECT_GT(moved, 0);

    view->show_side(Side::AfterEmbedding);
    EXPECT_EQ(view->charts()->registers.title.text, after.title.text);
}

TEST(DatapathView, PointingAtAVariableHighlightsItsPartners) {
    WindowDriver driver;
    driver.drive_to(8);
    auto *canvas = driver.find<ChartCanvas>("register_canvas");
    DatapathView *view = driver.window.datapath_view();
    view->zoom_by(1 / view->scale());  // chart units are pixels at full size
    const auto &chart = view->charts()->registers;
    std::size_t paired = 0;
    while (paired < chart.bars.size() && chart.bars[paired].partners.empty())
        ++paired;
    ASSERT_LT(paired, chart.bars.size());
    const charts::Box box = chart.bars[paired].box;
    canvas->point_at(QPointF(box.x - chart.frame.x + 1, box.y - chart.frame.y + 1));
    EXPECT_EQ(canvas->hovered(), std::optional<std::size_t>(paired));
    EXPECT_TRUE(canvas->toolTip().contains("kept apart from")) << qPrintable(canvas->toolTip());

    // Painted: the pointed bar in its highlight colour.
    QImage image(canvas->size(), QImage::Format_RGB32);
    canvas->render(&image);
    EXPECT_EQ(image.pixelColor(qRound(box.x - chart.frame.x + 4), qRound(box.y - chart.frame.y + 4)),
              QColor(255, 241, 118));

    canvas->point_at(QPointF(1, 1));  // the title: no variable
    EXPECT_EQ(canvas->hovered(), std::nullopt);
}

TEST(DatapathView, ZoomFitAndExportOfTheShownChart) {
    WindowDriver driver;
    driver.drive_to(8);
    driver.window.findChild<QAction *>("actionDatapath")->trigger();
    EXPECT_TRUE(driver.find<QDockWidget>("datapath_dock")->isVisible());
    DatapathView *view = driver.window.datapath_view();
    auto *canvas = driver.find<ChartCanvas>("schedule_canvas");
    const QSize unzoomed = canvas->size();
    driver.click("zoom_in");
    EXPECT_GT(canvas->width(), unzoomed.width());
    // Ctrl and the wheel zoom a step a notch; the wheel alone leaves the zoom to scroll.
    const double zoomed = view->scale();
    const auto wheel = [canvas](Qt::KeyboardModifiers modifiers, int notches) {
        QWheelEvent event(QPointF(5, 5), canvas->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &event);
    };
    wheel(Qt::NoModifier, 1);
    EXPECT_EQ(view->scale(), zoomed);
    wheel(Qt::ControlModifier, -2);
    EXPECT_DOUBLE_EQ(view->scale(), zoomed / 1.5 / 1.5);
    driver.click("fit");
    EXPECT_LE(canvas->width(), driver.find<QTabWidget>("chart_tabs")->width());
    driver.click("actual_size");
    EXPECT_EQ(canvas->size(), canvas->chart_size().toSize());

    QTemporaryDir folder;
    driver.take_asked();
    // A name typed without its extension gets it.
    driver.dialogs->files << folder.filePath("schedule.svg") << folder.filePath("schedule")
                          << folder.filePath("missing/registers.png");
    driver.click("export_svg");
    driver.click("export_png");
    const QStringList asked = driver.take_asked();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0], "file_dialog export chart as SVG: " + QDir::homePath() + "/fir-schedule.svg SVG images (*.svg)");
    // The next export proposes the folder just used.
    EXPECT_EQ(asked[1], "file_dialog export chart as PNG: " + folder.path() + "/fir-schedule.png PNG images (*.png)");
    driver.find<QTabWidget>("chart_tabs")->setCurrentIndex(1);
    driver.click("export_png");
    QFile svg(folder.filePath("schedule.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_TRUE(text.contains("<svg")) << text.left(200).constData();
    EXPECT_TRUE(text.contains("schedule of fir.txt, after embedding"));
    const QImage png(folder.filePath("schedule.png"));
    EXPECT_EQ(png.size(), canvas->chart_size().toSize());
    // A folder that does not exist: the box says so, nothing is half written.
    EXPECT_EQ(driver.boxes().filter("critical").size(), 1);
    EXPECT_EQ(view->scale(), canvas->scale());
}

// Every new design fits the dock, whatever the zoom before it; an empty chart
// offers no zoom, fit or export.
TEST(DatapathView, ANewDesignFitsAndAnEmptyChartOffersNoTools) {
    WindowDriver driver;
    const char *tools[] = {"zoom_in", "zoom_out", "fit", "actual_size", "export_png", "export_svg"};
    for (const char *tool : tools)
        EXPECT_FALSE(driver.find<QPushButton>(tool)->isEnabled()) << tool;
    driver.window.findChild<QAction *>("actionDatapath")->trigger();
    driver.drive_to(8);
    for (const char *tool : tools)
        EXPECT_TRUE(driver.find<QPushButton>(tool)->isEnabled()) << tool;
    DatapathView *view = driver.window.datapath_view();
    const double fitted = view->scale();
    for (int i = 0; i < 4; ++i)
        driver.click("zoom_in");
    EXPECT_GT(view->scale(), fitted * 4);
    driver.dialogs->answer_yes = true;  // Reset of an unsaved run asks first
    driver.find<QAction>("actionReset")->trigger();
    for (const char *tool : tools)
        EXPECT_FALSE(driver.find<QPushButton>(tool)->isEnabled()) << tool;
    EXPECT_EQ(view->scale(), 1);
    driver.drive_to(8);
    EXPECT_DOUBLE_EQ(view->scale(), fitted);
}

}  // namespace
}  // namespace velnor::test
