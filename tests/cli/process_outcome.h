// Running a program from a batch-tool test: its exit status and both outputs.
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace velnor::test {

struct Outcome {
    int status = -1;  // -1: killed, crashed or still running at the time limit
    std::string out;
    std::string err;
};

// How a program runs: its folder and environment, and whether the address
// sanitizer records whole allocation stacks, so that the leak suppressions can
// name what Qt's offscreen platform keeps until exit when a picture is drawn.
struct RunOptions {
    QString folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool whole_allocation_stacks = false;
};

inline Outcome run_program(const QString &program, const QStringList &arguments, RunOptions options = {}) {
    if (options.whole_allocation_stacks) {
        QProcessEnvironment &environment = options.environment;
        const QString sanitizer = environment.value("ASAN_OPTIONS");
        environment.insert("ASAN_OPTIONS", (sanitizer.isEmpty() ? "" : sanitizer + ":") + "fast_unwind_on_malloc=0");
        const QString leaks = environment.value("LSAN_OPTIONS");
        environment.insert("LSAN_OPTIONS", (leaks.isEmpty() ? "" : leaks + ":") + "print_suppressions=0");
    }
    QProcess process;
    process.setWorkingDirectory(options.folder);
    process.setProcessEnvironment(options.environment);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// The JSON object of each non-empty line of a program's output.
inline std::vector<QJsonObject> json_lines(const std::string &text) {
    std::vector<QJsonObject> lines;
    for (const QByteArray &line : QByteArray::fromStdString(text).split('\n'))
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    return lines;
}

}  // namespace velnor::test
