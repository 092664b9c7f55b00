// The columns a designer sorts by (size, overhead, both probabilities) come
// right after the combination's number, so they stay in view at the dialog's
// opening size; the values that make up the combination follow, and the
// refusal's sentence last, whole in the cell's tool tip.
#include "app/explore_results.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <set>

#include "plot/exploration_plot.h"

namespace velnor {
namespace {

enum Column {
    IndexColumn, SizeColumn, OverheadColumn, PcPhase2Column, PcDistinguishingColumn, EmbeddingColumn, AddersColumn,
    MultipliersColumn, SubtractorsColumn, ComparatorsColumn, CountColumn, EncodingsColumn, OrderColumn,
    RoundsColumn, RefusedColumn, ColumnCount
};

struct ColumnLook {
    const char *title;
    const char *tip;
    const char *widest;  // a typical widest value, for the opening width
};

const ColumnLook columns[ColumnCount] = {
    {"#", "the combination's number", "99999"},
    {"size", "constraint size", "99999"},
    {"overhead %", "cost overhead after phase 2, in percent", "99.99999"},
    {"pc_phase2", "probability of coincidence after phase 2", "1.23456e-100"},
    {"pc_distinguishing", "probability of coincidence of the distinguishing constraints", "1.23456e-100"},
    {"embedding", "specified or strong embedding", "specified"},
    {"add", "adders", "99"},
    {"mul", "multipliers", "99"},
    {"sub", "subtractors", "99"},
    {"cmp", "comparators", "99"},
    {"count", "number of encodings", "9"},
    {"encodings", "encoding rules", "1 2 3 4"},
    {"order", "stego key", "10110100"},
    {"rounds", "rounds", "80 80 80 80"},
    {"refused because", "why the combination was refused", ""},
};

// The most refusal sentences the summary line names; the rest are counted together.
constexpr std::size_t named_refusals = 4;

// A cell that sorts by its number, not its text.
QTableWidgetItem *number_cell(double value) {
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    return item;
}

QString optional_text(const std::optional<int> &value) { return value ? QString::number(*value) : QString(); }

}  // namespace

ExplorePlotView::ExplorePlotView(QWidget *parent) : QWidget(parent) { setMinimumSize(480, 280); }

void ExplorePlotView::show_summary(const ExplorationSummary *summary) {
    summary_ = summary;
    update();
}

void ExplorePlotView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!summary_) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    draw_exploration_plot(painter, QRectF(rect()), *summary_);
}

ExploreResults::ExploreResults(QWidget *parent) : QSplitter(Qt::Vertical, parent) {
    plot_ = new ExplorePlotView;
    table_ = new QTableWidget(0, ColumnCount);
    table_->setObjectName("results");
    for (int column = 0; column < ColumnCount; ++column) {
        auto *header = new QTableWidgetItem(columns[column].title);
        header->setToolTip(columns[column].tip);
        table_->setHorizontalHeaderItem(column, header);
    }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(true);
    table_->verticalHeader()->hide();
    const QFontMetrics metrics(table_->font());
    table_->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);
    QHeaderView *header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    for (int column = 0; column + 1 < ColumnCount; ++column)  // room for the header's sort arrow
        table_->setColumnWidth(column, std::max(metrics.horizontalAdvance(columns[column].title) + 32,
                                                metrics.horizontalAdvance(columns[column].widest) + 12));
    refusals_ = new QLabel;
    refusals_->setObjectName("refusals");
    refusals_->setWordWrap(true);
    refusals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    refusals_->hide();

    auto *below = new QWidget;
    auto *layout = new QVBoxLayout(below);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_, 1);
    layout->addWidget(refusals_);
    addWidget(plot_);
    addWidget(below);
    setStretchFactor(0, 2);
    setStretchFactor(1, 3);

    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { emit selection_changed(!table_->selectedItems().isEmpty()); });
    connect(table_, &QTableWidget::itemDoubleClicked, this, [this] { emit row_activated(); });
}

void ExploreResults::begin(const Exploration &exploration, const ExplorationSummary &summary) {
    exploration_ = &exploration;
    summary_ = &summary;
    choices_.clear();
    table_->setRowCount(0);
    refusals_->hide();
    plot_->show_summary(&summary);
}

int ExploreResults::row_count() const { return table_->rowCount(); }

void ExploreResults::add(const std::vector<CombinationResult> &results) {
    if (results.empty())
        return;
    table_->setSortingEnabled(false);
    for (const CombinationResult &result : results)
        add_row(result);
    table_->setSortingEnabled(true);
    show_refusals();
    plot_->update();
}

void ExploreResults::add_row(const CombinationResult &result) {
    const Exploration &exploration = *exploration_;
    const Combination &c = result.combination;
    const ExplorationKey &key = exploration.keys[c.key];
    ExploreChoice choice;
    // The count of a type the core lacks stands for its field left empty.
    const std::set<int32_t> &types = exploration.cores[c.core].operation_types;
    const auto count_text = [&](int32_t type, int count) {
        return types.count(type) ? QString::number(count) : QString();
    };
    choice.adders = count_text(Add, exploration.adders[c.adders]);
    choice.multipliers = count_text(Multiply, exploration.multipliers[c.multipliers]);
    choice.subtractors = optional_text(exploration.subtractors[c.subtractors]);
    choice.comparators = optional_text(exploration.comparators[c.comparators]);
    choice.count = QString::number(key_encoding_count(key));
    choice.encodings = QString::fromStdString(key.encodings.text);
    choice.order = QString::fromStdString(key.order);
    choice.rounds = QString::fromStdString(key.rounds.text);
    choice.embedding = embedding_mode_name(exploration.embeddings[c.embedding]);
    choice.size = QString::number(exploration.sizes[c.size]);

    const int row = table_->rowCount();
    table_->insertRow(row);
    auto *first = number_cell(static_cast<double>(c.index));
    first->setData(Qt::UserRole, static_cast<int>(choices_.size()));
    table_->setItem(row, IndexColumn, first);
    table_->setItem(row, SizeColumn, number_cell(exploration.sizes[c.size]));
    const std::pair<Column, QString> numbers[] = {
        {AddersColumn, choice.adders},           {MultipliersColumn, choice.multipliers},
        {SubtractorsColumn, choice.subtractors}, {ComparatorsColumn, choice.comparators},
        {CountColumn, choice.count}};
    for (const auto &[column, text] : numbers)
        table_->setItem(row, column, text.isEmpty() ? new QTableWidgetItem : number_cell(text.toDouble()));
    const std::pair<Column, QString> texts[] = {{EmbeddingColumn, choice.embedding},
                                                {EncodingsColumn, choice.encodings},
                                                {OrderColumn, choice.order},
                                                {RoundsColumn, choice.rounds}};
    for (const auto &[column, text] : texts)
        table_->setItem(row, column, new QTableWidgetItem(text));
    if (result.error) {
        auto *reason = new QTableWidgetItem(QString::fromStdString(*result.error));
        reason->setToolTip(reason->text());
        table_->setItem(row, RefusedColumn, reason);
    } else {
        table_->setItem(row, OverheadColumn, number_cell(100 * result.overhead));
        table_->setItem(row, PcPhase2Column, number_cell(result.run.figures.pc_phase2));
        table_->setItem(row, PcDistinguishingColumn, number_cell(result.pc_distinguishing));
    }
    choices_.push_back(choice);
}

// "5 of the 8 combinations run were refused:", then the sentences by how
// many combinations each refused, most first.
void ExploreResults::show_refusals() {
    std::map<std::string, uint64_t> by_sentence;
    uint64_t refused = 0, seen = 0;
    for (const CoreSummary &core : summary_->cores()) {
        refused += core.refused;
        seen += core.combinations;
        for (const auto &[sentence, count] : core.refusals)
            by_sentence[sentence] += count;
    }
    refusals_->setVisible(refused > 0);
    if (refused == 0)
        return;
    std::vector<std::pair<uint64_t, std::string>> ranked;
    for (const auto &[sentence, count] : by_sentence)
        ranked.emplace_back(count, sentence);
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    QStringList lines{QString("%1 of the %2 combinations run %3 refused:")
                          .arg(refused)
                          .arg(seen)
                          .arg(refused == 1 ? "was" : "were")};
    uint64_t others = 0;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        if (i < named_refusals)
            lines << QString::fromUtf8("%1 × %2").arg(ranked[i].first).arg(QString::fromStdString(ranked[i].second));
        else
            others += ranked[i].first;
    }
    if (others > 0)
        lines << QString("%1 by %2 other reasons").arg(others).arg(ranked.size() - named_refusals);
    refusals_->setText(lines.join("\n"));
}

std::optional<ExploreChoice> ExploreResults::selected() const {
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QTableWidgetItem *first = table_->item(selected.first()->row(), IndexColumn);
    return choices_.at(static_cast<std::size_t>(first->data(Qt::UserRole).toInt()));
}

}  // namespace velnor
