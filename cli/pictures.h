// The pictures velnor-cli draws of a finished run, beside its figures: the
// schedule and register charts after the embedding as SVG (--svg), and the
// scheduled data-flow graph as Graphviz DOT (--dot). The same charts as the
// window's datapath view.
#pragma once

#include <QGuiApplication>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "flow/flow.h"

namespace velnor::cli {

// Writes the files asked for; returns one message per file that could not be
// written ("--svg: cannot write FILE"), none on success.
std::vector<std::string> write_pictures(const FlowRun &run, const std::optional<QString> &svg,
                                        const std::optional<QString> &dot);

// Painting text needs a Qt GUI application: one on the offscreen platform
// (no display needed), or nothing when one already runs. Qt's notes while it
// starts are dropped; its critical messages go to standard error.
std::unique_ptr<QGuiApplication> offscreen_application();

// Runs paint (which writes a picture and says whether it was written) in such
// an application, with Qt's warnings dropped meanwhile: the caller tells a
// failure in its own one line.
bool paint_offscreen(const std::function<bool()> &paint);

}  // namespace velnor::cli
