// The batch tool run over the inputs a driven window was given, for the tests
// that compare the window's files with velnor-cli's.
#pragma once

#include <QProcess>

#include "tests/app/window_driver.h"

namespace velnor::test {

// Runs velnor-cli run over the inputs a driven window was given, then extra.
inline ::testing::AssertionResult run_batch_tool(const RunInputs &in, const QStringList &extra) {
    QStringList arguments{"run", "--dfg", data(in.dfg), "--library", data("lib/library_a.txt"), "--adders", in.adders,
                          "--multipliers", in.multipliers, "--count", in.count, "--encodings", in.encodings,
                          "--order", in.order, "--rounds", in.rounds, "--size", in.size};
    if (in.subtractors)
        arguments << "--subtractors" << in.subtractors;
    if (in.comparators)
        arguments << "--comparators" << in.comparators;
    QProcess batch;
    batch.start(VELNOR_CLI, arguments + extra);
    if (!batch.waitForFinished(60000) || batch.exitStatus() != QProcess::NormalExit || batch.exitCode() != 0)
        return ::testing::AssertionFailure() << "velnor-cli: " << batch.readAllStandardError().toStdString();
    return ::testing::AssertionSuccess();
}

}  // namespace velnor::test
