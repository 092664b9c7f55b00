// What velnor-cli attack prints, from summary rows and trials built here: the
// table against a file written by hand, the summary's JSON members (null where
// no trial ran), and a trial's line without its constraints or with the
// refusal of a forged key.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/attack_output.h"
#include "tests/test_support.h"

namespace {

using namespace velnor;

AttackSummaryRow row(AttackKind kind, double fraction, int64_t trials, int64_t present, int64_t absent,
                     double median, double largest, int64_t moved, int64_t stuck) {
    AttackSummaryRow r;
    r.kind = kind;
    r.fraction = fraction;
    r.trials = trials;
    r.present = present;
    r.absent = absent;
    r.median_log10_pc = median;
    r.largest_log10_pc = largest;
    r.smallest_log10_pc = median;
    r.moved = moved;
    r.stuck = stuck;
    return r;
}

AttackSummaryRow forge_row(bool against_signed, int64_t claims, int64_t false_claims, double smallest) {
    AttackSummaryRow r;
    r.kind = AttackKind::Forge;
    r.against_signed = against_signed;
    r.trials = claims;
    r.present = false_claims;
    r.absent = claims - false_claims;
    r.smallest_log10_pc = smallest;
    return r;
}

// Tampering rows in the engine's order, a forge target whose every key was refused.
std::vector<AttackSummaryRow> summary_rows() {
    return {row(AttackKind::Move, 0, 3, 3, 0, -14.579, -14.579, /*moved=*/0, /*stuck=*/1),
            row(AttackKind::Move, 0.5, 3, 0, 3, -1.5, -0.25, /*moved=*/31, /*stuck=*/4),
            row(AttackKind::Rebind, 0.05, 3, 2, 1, -8.2177, -4.0051, /*moved=*/4, /*stuck=*/0),
            row(AttackKind::Reallocate, 1, 3, 0, 3, -0.13, 0, /*moved=*/0, /*stuck=*/0),
            forge_row(/*against_signed=*/true, /*claims=*/1000, /*false_claims=*/2, -7.126),
            forge_row(/*against_signed=*/false, /*claims=*/0, /*false_claims=*/0, 0)};
}

TEST(AttackOutput, TheTableIsAlignedUnderItsHeaders) {
    EXPECT_EQ(cli::attack_summary_table(summary_rows()),
              test::read_file(test::data_path("expected/attack_summary_table.txt")));
}

TEST(AttackOutput, TheSummaryGroupsRowsByAttackWithNullWhereNoTrialRan) {
    const std::string text = cli::attack_summary_json(summary_rows());
    ASSERT_EQ(text.find('\n'), text.size() - 1) << "one line";
    const QJsonObject summary = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object()["summary"].toObject();
    EXPECT_EQ(summary.keys(), (QStringList{"forge", "move", "reallocate", "rebind"}));

    const QJsonArray move = summary["move"].toArray();
    ASSERT_EQ(move.size(), 2);
    EXPECT_EQ(move[1].toObject()["fraction"].toDouble(), 0.5);
    EXPECT_EQ(move[1].toObject()["moved"].toInt(), 31);
    EXPECT_EQ(move[1].toObject()["stuck"].toInt(), 4);
    EXPECT_EQ(move[1].toObject()["median_log10_pc_distinguishing"].toDouble(), -1.5);
    EXPECT_EQ(move[1].toObject()["largest_log10_pc_distinguishing"].toDouble(), -0.25);

    const QJsonObject rebind = summary["rebind"].toArray()[0].toObject();
    EXPECT_EQ(rebind["present"].toInt(), 2);
    EXPECT_EQ(rebind["absent"].toInt(), 1);
    EXPECT_EQ(rebind["inconclusive"].toInt(), 0);
    EXPECT_FALSE(rebind.contains("stuck"));

    const QJsonObject reallocate = summary["reallocate"].toArray()[0].toObject();
    EXPECT_EQ(reallocate.keys(), (QStringList{"absent", "inconclusive", "largest_log10_pc_distinguishing",
                                             "median_log10_pc_distinguishing", "present", "trials"}));

    const QJsonArray forge = summary["forge"].toArray();
    ASSERT_EQ(forge.size(), 2);
    EXPECT_EQ(forge[0].toObject()["against"].toString(), "signed");
    EXPECT_EQ(forge[0].toObject()["claims"].toInt(), 1000);
    EXPECT_EQ(forge[0].toObject()["false_claims"].toInt(), 2);
    EXPECT_EQ(forge[0].toObject()["smallest_log10_pc_distinguishing"].toDouble(), -7.126);
    EXPECT_TRUE(forge[1].toObject()["smallest_log10_pc_distinguishing"].isNull());
}

TEST(AttackOutput, ATrialLineLeavesOutTheConstraints) {
    AttackTrial trial;
    trial.kind = AttackKind::Move;
    trial.fraction = 0.25;
    trial.trial = 2;
    trial.moved = 5;
    trial.stuck = 1;
    trial.verification.zeros = {/*held=*/3, /*total=*/4};
    trial.verification.alpha = 1e-6;
    trial.verification.verdict = Verdict::Absent;
    trial.verification.constraints.resize(4);
    const std::string line = cli::attack_trial_json(trial, /*name_embedding=*/false);
    EXPECT_EQ(line.rfind("{\"attack\": \"move\", \"fraction\": 0.25, \"trial\": 2, \"moved\": 5, \"stuck\": 1, "
                         "\"zeros\": {\"held\": 3, \"total\": 4}, ",
                         0),
              0u)
        << line;
    EXPECT_EQ(line.find("constraints"), std::string::npos) << line;
    EXPECT_NE(line.find("\"verdict\": \"absent\"}\n"), std::string::npos) << line;
}

TEST(AttackOutput, ARefusedForgedKeyIsALineWithItsError) {
    AttackTrial trial;
    trial.kind = AttackKind::Forge;
    trial.trial = 4;
    trial.against_signed = false;
    trial.error = "--rounds: 3 round counts given, but 2 blocks need one each (two per encoding)";
    EXPECT_EQ(cli::attack_trial_json(trial, /*name_embedding=*/true),
              "{\"attack\": \"forge\", \"trial\": 4, \"against\": \"unsigned\", \"error\": \"--rounds: 3 round "
              "counts given, but 2 blocks need one each (two per encoding)\"}\n");
}

}  // namespace
