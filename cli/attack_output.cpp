// The attack's lines and summary. The summary groups the engine's rows by
// attack, keeping their order within each.
#include "cli/attack_output.h"

#include <algorithm>
#include <cstdio>

#include "cli/json_text.h"
#include "cli/verify_command.h"

namespace velnor::cli {
namespace {

constexpr AttackKind attack_kinds[] = {AttackKind::Move, AttackKind::Rebind, AttackKind::Reallocate,
                                       AttackKind::Forge};

bool has_fraction(AttackKind kind) { return kind == AttackKind::Move || kind == AttackKind::Rebind; }

const char *target_name(bool against_signed) { return against_signed ? "signed" : "unsigned"; }

// An object's text without the line feed that ends it.
std::string inline_object(const JsonObject &object) {
    std::string text = object.close();
    text.pop_back();
    return text;
}

std::string summary_row_json(const AttackSummaryRow &row) {
    JsonObject json(JsonObject::Layout::OneLine);
    const auto statistic = [&](const char *name, double value) {
        if (row.trials == 0)
            json.add_null(name);
        else
            json.add_number(name, value);
    };
    if (row.kind == AttackKind::Forge) {
        json.add_string("against", target_name(row.against_signed));
        json.add_integer("claims", static_cast<long long>(row.trials));
        json.add_integer("false_claims", static_cast<long long>(row.present));
        statistic("smallest_log10_pc_distinguishing", row.smallest_log10_pc);
        return inline_object(json);
    }
    if (has_fraction(row.kind))
        json.add_number("fraction", row.fraction);
    json.add_integer("trials", static_cast<long long>(row.trials));
    json.add_integer("present", static_cast<long long>(row.present));
    json.add_integer("absent", static_cast<long long>(row.absent));
    json.add_integer("inconclusive", static_cast<long long>(row.inconclusive));
    statistic("median_log10_pc_distinguishing", row.median_log10_pc);
    statistic("largest_log10_pc_distinguishing", row.largest_log10_pc);
    if (has_fraction(row.kind))
        json.add_integer("moved", static_cast<long long>(row.moved));
    if (row.kind == AttackKind::Move)
        json.add_integer("stuck", static_cast<long long>(row.stuck));
    return inline_object(json);
}

// A log10 probability as the table shows it: two decimals.
std::string log10_cell(double value, int64_t trials) {
    if (trials == 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Rows of cells as aligned columns two blanks apart: the first column to the
// left, the others (numbers) to the right.
std::string aligned(const std::vector<std::vector<std::string>> &rows) {
    std::vector<std::size_t> widths;
    for (const auto &row : rows)
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[column] = std::max(widths[column], row[column].size());
        }
    std::string text;
    for (const auto &row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string padding(widths[column] - row[column].size(), ' ');
            line += column == 0 ? row[column] + padding : "  " + padding + row[column];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::string attack_trial_json(const AttackTrial &trial, bool name_embedding) {
    JsonObject json(JsonObject::Layout::OneLine);
    json.add_string("attack", attack_name(trial.kind));
    if (has_fraction(trial.kind))
        json.add_number("fraction", trial.fraction);
    json.add_integer("trial", static_cast<long long>(trial.trial));
    if (has_fraction(trial.kind))
        json.add_integer("moved", static_cast<long long>(trial.moved));
    if (trial.kind == AttackKind::Move)
        json.add_integer("stuck", static_cast<long long>(trial.stuck));
    if (trial.kind == AttackKind::Forge)
        json.add_string("against", target_name(trial.against_signed));
    if (trial.error)
        json.add_string("error", *trial.error);
    else
        add_verification_members(json, trial.verification, name_embedding);
    return json.close();
}

std::string attack_summary_json(const std::vector<AttackSummaryRow> &rows) {
    JsonObject summary(JsonObject::Layout::OneLine);
    for (AttackKind kind : attack_kinds) {
        std::string list = "[";
        for (const AttackSummaryRow &row : rows)
            if (row.kind == kind)
                list += (list.size() == 1 ? "" : ", ") + summary_row_json(row);
        summary.add(attack_name(kind), list + "]");
    }
    JsonObject json(JsonObject::Layout::OneLine);
    json.add("summary", inline_object(summary));
    return json.close();
}

std::string attack_summary_table(const std::vector<AttackSummaryRow> &rows) {
    std::vector<std::vector<std::string>> tampering{{"attack", "fraction", "trials", "present", "absent",
                                                     "inconclusive", "median log10 pc", "largest log10 pc", "moved",
                                                     "stuck"}};
    std::vector<std::vector<std::string>> forged{{"forged claims against", "false claims", "smallest log10 pc"}};
    for (const AttackSummaryRow &row : rows) {
        if (row.kind == AttackKind::Forge) {
            forged.push_back({target_name(row.against_signed),
                              std::to_string(row.present) + " of " + std::to_string(row.trials),
                              log10_cell(row.smallest_log10_pc, row.trials)});
            continue;
        }
        tampering.push_back({attack_name(row.kind), has_fraction(row.kind) ? json_number(row.fraction) : "all",
                             std::to_string(row.trials), std::to_string(row.present), std::to_string(row.absent),
                             std::to_string(row.inconclusive), log10_cell(row.median_log10_pc, row.trials),
                             log10_cell(row.largest_log10_pc, row.trials),
                             has_fraction(row.kind) ? std::to_string(row.moved) : "-",
                             row.kind == AttackKind::Move ? std::to_string(row.stuck) : "-"});
    }
    return aligned(tampering) + "\n" + aligned(forged);
}

}  // namespace velnor::cli
