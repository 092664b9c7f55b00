// Formatting of the console views. Numbers go through QString::number, so ints
// are decimal and doubles (formatted by the callers) use 'g' with 6 digits.
#include "app/views.h"

#include <algorithm>

namespace velnor {

QString schedule_table(const Design &design, VariantColumn column) {
    QString html = "<table border=\"1\"><tr><th>control step</th><th colspan=\"0\">operator</th></tr>";
    for (const auto &[step, ids] : design.list_steps) {
        html += "<tr><td>" + QString::number(step) + "</td>";
        for (int32_t id : ids) {
            const auto operation = design.operations.find(id);
            const int32_t type = operation == design.operations.end() ? -1 : operation->second.type;
            html += "<td>" + QString::number(id) + " (" + QChar(operation_symbol(type)) + ") " +
                    QString::number(shown_variant(design, id, column)) + "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

QString register_table(const ControllerTable &table, int register_count) {
    QString html = "<table border=\"1\"><tr><th>cs(\\/)/color(->)</th>";
    for (int32_t c = 1; c <= table.highest_register(); ++c)
        html += "<th>" + QString::number(c) + "</th>";
    // An empty table leaves its header row open, as the allocation view always has.
    if (!table.empty())
        html += "</tr>";
    for (const int32_t step : table.steps()) {
        html += "<tr><td>" + QString::number(step) + "</td>";
        for (int32_t c = 1; c <= register_count; ++c) {
            html += "<td>";
            if (const int32_t held = table.at(step, c))
                html += QString::number(held - 1);  // variables are shown counted from 0
            html += "</td>";
        }
        html += "</tr>";
    }
    return html + "</table>";
}

QString zero_constraint_list(const std::vector<std::pair<int32_t, int32_t>> &pairs) {
    QString text;
    for (const auto &[i, j] : pairs)
        text += "( v" + QString::number(i - 1) + ", v" + QString::number(j - 1) + "),";
    return text;
}

QString id_list(const std::vector<int32_t> &ids) {
    QString text;
    for (int32_t id : ids)
        text += QString::number(id) + ",";
    return text;
}

QString encoded_strings(const std::vector<int> &encodings, const std::vector<std::string> &encoded_inputs) {
    QString text;
    for (std::size_t i = 0; i < encoded_inputs.size(); ++i) {
        const int rule = i < encodings.size() ? encodings[i] : 0;
        text += QString::number(rule) + " : " + QString::fromStdString(encoded_inputs[i]) + "\n";
    }
    return text;
}

namespace {

// The registers the allocation uses: one lifetime list per register, 1-based.
int32_t register_count(const Design &design) { return static_cast<int32_t>(design.register_lifetimes.size()); }

}  // namespace

std::vector<QString> view_messages(const FlowRun &run, ResultView view) {
    const EmbeddingFigures &figures = run.embedding.figures;
    const auto number = [](double value) { return QString::number(value, 'g', 6); };
    switch (view) {
    case ResultView::ScheduleBefore:
        return {"Pre-stego operator scheduling ", schedule_table(run.design, VariantColumn::BeforeEmbedding)};
    case ResultView::RegistersBefore:
        return {" pre-stego register allocation ",
                register_table(run.design.controller_table_before, register_count(run.design))};
    case ResultView::EncodedStrings:
        return {"encoded string corresponding to to selected encoding rules ",
                encoded_strings(run.encodings, run.encoded_inputs)};
    case ResultView::PaddedBlock:
        return {"Initial padded bit string", QString::fromStdString(run.hash_engine.initial_padded_block)};
    case ResultView::HashOutput:
        return {"hash output string", QString::fromStdString(run.hash_output)};
    case ResultView::Signature:
        return {QString::fromStdString(embedded_signature(run))};
    case ResultView::Ones:
        return {"number of ones: ", QString::number(figures.one_count)};
    case ResultView::Zeros:
        return {"number of zeros: ", QString::number(figures.zero_count)};
    case ResultView::OneConstraints:
        return {"constraint corresponding to ones ", id_list(run.embedding.constraints.one_operations)};
    case ResultView::ZeroConstraints:
        if (figures.mode == EmbeddingMode::Strong)
            return {"together constraints (partner, moved variable)",
                    zero_constraint_list(run.embedding.constraints.together_pairs)};
        return {"constraints corresponding to zeros", zero_constraint_list(run.embedding.constraints.zero_pairs)};
    case ResultView::BaselineCost:
        return {"Baseline cost: ", number(figures.initial_cost)};
    case ResultView::CostPhase1:
        return {"Cost after phase 1: ", number(figures.cost_phase1)};
    case ResultView::CostPhase2:
        return {"Cost after phase 2: ", number(figures.cost_phase2)};
    case ResultView::PcPhase1:
        return {"Pc value after phase 1 ", number(figures.pc_phase1)};
    case ResultView::PcPhase2: {
        QString value = number(figures.pc_phase2);
        if (figures.mode == EmbeddingMode::Strong)  // far below what a double holds on large cores
            value += " (log10 " + number(figures.log10_pc) + ")";
        return {"Pc value after phase 2 ", value};
    }
    case ResultView::ScheduleAfter:
        return {"post-stego operator scheduling", schedule_table(run.design, VariantColumn::AfterEmbedding)};
    case ResultView::RegistersAfter:
        return {"post-stego register allocation", register_table(run.design.controller_table, register_count(run.design))};
    }
    return {};
}

}  // namespace velnor
