// The results half of the Explore dialog: the plot, the sortable table with one
// row per combination, and the line that counts the refused combinations by
// the sentence that refused them.
#pragma once

#include <QSplitter>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "flow/exploration.h"
#include "flow/exploration_summary.h"

class QLabel;
class QTableWidget;

namespace velnor {

// The form's field texts of one combination, and its embedding's name. A
// text is empty for a field left empty.
struct ExploreChoice {
    QString adders, multipliers, subtractors, comparators;
    QString count, encodings, order, rounds, size;
    QString embedding;
};

// Paints an exploration's plot, scaled to the widget.
class ExplorePlotView : public QWidget {
public:
    explicit ExplorePlotView(QWidget *parent = nullptr);
    void show_summary(const ExplorationSummary *summary);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const ExplorationSummary *summary_ = nullptr;
};

class ExploreResults : public QSplitter {
    Q_OBJECT

public:
    explicit ExploreResults(QWidget *parent = nullptr);

    // Empties the table for a new exploration; both must outlive what is shown.
    void begin(const Exploration &exploration, const ExplorationSummary &summary);
    // Adds rows for results the summary has already taken.
    void add(const std::vector<CombinationResult> &results);
    int row_count() const;
    // The combination of the selected row, if a row is selected.
    std::optional<ExploreChoice> selected() const;

signals:
    void selection_changed(bool any);
    void row_activated();

private:
    void add_row(const CombinationResult &result);
    void show_refusals();

    const Exploration *exploration_ = nullptr;
    const ExplorationSummary *summary_ = nullptr;
    ExplorePlotView *plot_;
    QTableWidget *table_;
    QLabel *refusals_;
    std::vector<ExploreChoice> choices_;  // by the value the row's first cell keeps
};

}  // namespace velnor

Q_DECLARE_METATYPE(velnor::ExploreChoice)
