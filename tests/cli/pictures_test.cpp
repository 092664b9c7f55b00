// velnor-cli's pictures through the real binary: the DOT graph as Graphviz's
// own dot reads it, and the SVG drawn with no display and no platform chosen.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QXmlStreamReader>
#include <sstream>

#include "tests/cli/process_outcome.h"
#include "tests/test_support.h"

namespace {

using velnor::test::data_path;
using velnor::test::ScratchDir;

using velnor::test::Outcome;

Outcome run_program(const QString &program, const QStringList &arguments,
                    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    return velnor::test::run_program(program, arguments, {QString(), std::move(environment), true});
}

struct Core {
    const char *name;
    QStringList options;
    int operations;
};

class Pictures : public ::testing::TestWithParam<Core> {};

TEST_P(Pictures, DotRendersOneNodePerOperationAndSvgNeedsNoDisplay) {
    ScratchDir dir;
    const QString dot = QString::fromStdString(dir.path() + "/graph.dot");
    const QString svg = QString::fromStdString(dir.path() + "/charts.svg");
    QStringList arguments{"run", "--library", QString::fromStdString(data_path("lib/library_a.txt"))};
    arguments << GetParam().options << "--dot" << dot << "--svg" << svg;
    for (QString &argument : arguments)
        if (argument.startsWith("data:"))
            argument = QString::fromStdString(data_path(argument.mid(5).toStdString().c_str()));

    // No display and no platform: the batch tool chooses its own.
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(name);
    const Outcome run = run_program(VELNOR_CLI, arguments, bare);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const Outcome plain = run_program("dot", {"-Tplain", dot});
    ASSERT_EQ(plain.status, 0) << "Graphviz's dot (Debian package graphviz) is needed: " << plain.err;
    int nodes = 0;
    std::istringstream lines(plain.out);
    for (std::string line; std::getline(lines, line);)
        nodes += line.rfind("node ", 0) == 0;
    EXPECT_EQ(nodes, GetParam().operations);

    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int texts = 0;
    bool titled = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("text"))
            ++texts;
        if (xml.isCharacters() && xml.text().contains(QLatin1String("registers of ")))
            titled = true;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(texts, GetParam().operations);  // every operation box and variable bar is labelled
    EXPECT_TRUE(titled);
}

INSTANTIATE_TEST_SUITE_P(
    Cores, Pictures,
    ::testing::Values(Core{"Fir", {"--dfg", "data:dfg/fir.txt", "--adders", "2", "--multipliers", "2", "--encodings",
                                   "3 7", "--order", "10", "--rounds", "80 1 2 3", "--size", "20"}, 21},
                      Core{"Gen247", {"--dfg", "data:characterization/gen_247.txt", "--adders", "2", "--multipliers",
                                      "2", "--subtractors", "4", "--comparators", "2", "--encodings", "3 1", "--order",
                                      "10", "--rounds", "80 70 60 50", "--size", "450"}, 247}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PicturesRefused, AnUnwritableFileExitsWithOneAndNamesTheOption) {
    ScratchDir dir;
    const std::string missing = dir.path() + "/no/such/folder/charts.svg";
    const Outcome run = run_program(
        VELNOR_CLI, {"demo", "--svg", QString::fromStdString(missing), "--dot", QString::fromStdString(dir.path() + "/g.dot")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "--svg: cannot write " + missing + "\n");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.path() + "/g.dot")));  // the other file is still written
    EXPECT_EQ(run_program(VELNOR_CLI, {"demo", "--dot", ""}).status, 2);
}

}  // namespace
