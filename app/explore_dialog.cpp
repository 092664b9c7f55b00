// The dialog reads its lists with the batch tool's rules (blank-separated whole
// numbers), loads the two files into an exploration of its own and runs it on
// a QThread; the worker only queues results, and a timer on the window's
// thread moves them into the table, the summary and the plot in order.
#include "app/explore_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <thread>

#include "flow/exploration_runner.h"
#include "flow/random_keys.h"
#include "plot/exploration_plot.h"

namespace velnor {
namespace {

const QStringList column_titles = {"#",     "adders",    "multipliers", "subtractors", "comparators",
                                   "count", "encodings", "order",       "rounds",      "embedding",
                                   "size",  "overhead (%)", "pc_phase2", "pc_distinguishing", "error"};

// The embeddings to try, as the choices of the dialog's list offer them.
const std::vector<std::vector<EmbeddingMode>> embedding_choices = {
    {EmbeddingMode::Specified}, {EmbeddingMode::Strong}, {EmbeddingMode::Specified, EmbeddingMode::Strong}};

// A cell that sorts by its number, not its text.
QTableWidgetItem *number_cell(double value) {
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    return item;
}

QTableWidgetItem *text_cell(const QString &text) { return new QTableWidgetItem(text); }

QString optional_text(const std::optional<int> &value) { return value ? QString::number(*value) : QString(); }

}  // namespace

ExplorePlotView::ExplorePlotView(QWidget *parent) : QWidget(parent) { setMinimumSize(480, 320); }

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

ExploreDialog::ExploreDialog(const QString &dfg_path, const QString &library_path, QWidget *parent)
    : QDialog(parent), dfg_path_(dfg_path), library_path_(library_path) {
    setWindowTitle("Explore keys, sizes and resources");
    qRegisterMetaType<velnor::ExploreChoice>();

    adders_ = new QLineEdit("1 2 3 4");
    multipliers_ = new QLineEdit("1 2 3 4");
    subtractors_ = new QLineEdit;
    comparators_ = new QLineEdit;
    sizes_ = new QLineEdit("64 128 256 512");
    embeddings_ = new QComboBox;
    embeddings_->addItems({"specified", "strong", "specified and strong"});
    embeddings_->setObjectName("embeddings");
    for (QLineEdit *list : {subtractors_, comparators_})
        list->setPlaceholderText("empty: the field left empty");
    key_count_ = new QSpinBox;
    key_count_->setRange(1, 100000);
    key_count_->setValue(8);
    seed_ = new QSpinBox;
    seed_->setRange(0, 1 << 30);
    seed_->setValue(static_cast<int>(default_key_seed));
    threads_ = new QSpinBox;
    threads_->setRange(1, 256);
    threads_->setValue(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

    // Names by which a test finds the widgets.
    adders_->setObjectName("adders");
    multipliers_->setObjectName("multipliers");
    sizes_->setObjectName("sizes");
    key_count_->setObjectName("random_keys");
    run_button_ = new QPushButton("Run");
    run_button_->setObjectName("run");

    auto *form = new QFormLayout;
    form->addRow("Adders", adders_);
    form->addRow("Multipliers", multipliers_);
    form->addRow("Subtractors", subtractors_);
    form->addRow("Comparators", comparators_);
    form->addRow("Constraint sizes", sizes_);
    form->addRow("Embedding", embeddings_);
    form->addRow("Random keys", key_count_);
    form->addRow("Seed", seed_);
    form->addRow("Threads", threads_);

    cancel_button_ = new QPushButton("Cancel");
    cancel_button_->setEnabled(false);
    use_button_ = new QPushButton("Fill the form with this row");
    use_button_->setObjectName("use");
    use_button_->setEnabled(false);
    progress_ = new QProgressBar;
    message_ = new QLabel;
    message_->setWordWrap(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(run_button_);
    buttons->addWidget(cancel_button_);
    buttons->addWidget(progress_, 1);

    plot_ = new ExplorePlotView;
    table_ = new QTableWidget(0, column_titles.size());
    table_->setObjectName("results");
    table_->setHorizontalHeaderLabels(column_titles);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSortingEnabled(true);
    table_->verticalHeader()->hide();
    auto *results = new QSplitter(Qt::Vertical);
    results->addWidget(plot_);
    results->addWidget(table_);

    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(buttons);
    left->addWidget(message_);
    left->addStretch();
    left->addWidget(use_button_);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(results, 1);
    resize(1200, 800);

    connect(run_button_, &QPushButton::clicked, this, &ExploreDialog::start);
    connect(cancel_button_, &QPushButton::clicked, this, &ExploreDialog::cancel);
    connect(use_button_, &QPushButton::clicked, this, &ExploreDialog::choose_row);
    connect(table_, &QTableWidget::itemDoubleClicked, this, &ExploreDialog::choose_row);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { use_button_->setEnabled(!table_->selectedItems().isEmpty()); });
    drain_timer_.setInterval(100);
    connect(&drain_timer_, &QTimer::timeout, this, &ExploreDialog::take_results);
}

ExploreDialog::~ExploreDialog() {
    cancel_ = true;
    if (worker_)
        worker_->wait();
}

std::optional<std::vector<int>> ExploreDialog::read_list(QLineEdit *field, const QString &name, bool may_be_empty) {
    std::vector<int> numbers;
    for (const QString &token : field->text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
        const std::optional<int> value = parse_typed_integer(token.toStdString());
        if (!value) {
            message_->setText(name + ": '" + token.left(40) + "' is not a whole number");
            return std::nullopt;
        }
        numbers.push_back(*value);
    }
    if (numbers.empty() && !may_be_empty) {
        message_->setText(name + ": needs at least one number");
        return std::nullopt;
    }
    return numbers;
}

void ExploreDialog::start() {
    if (worker_)
        return;
    const auto adders = read_list(adders_, "Adders", false);
    const auto multipliers = adders ? read_list(multipliers_, "Multipliers", false) : std::nullopt;
    const auto subtractors = multipliers ? read_list(subtractors_, "Subtractors", true) : std::nullopt;
    const auto comparators = subtractors ? read_list(comparators_, "Comparators", true) : std::nullopt;
    const auto sizes = comparators ? read_list(sizes_, "Constraint sizes", false) : std::nullopt;
    if (!sizes)
        return;

    auto exploration = std::make_unique<Exploration>();
    try {
        exploration->cores = load_cores({dfg_path_.toStdString()}, library_path_.toStdString());
    } catch (const Refusal &refusal) {
        message_->setText(QString::fromStdString(refusal.what()));
        return;
    }
    exploration->adders = *adders;
    exploration->multipliers = *multipliers;
    const auto optional_list = [](const std::vector<int> &list) {
        std::vector<std::optional<int>> values(list.begin(), list.end());
        return values.empty() ? std::vector<std::optional<int>>{std::nullopt} : values;
    };
    exploration->subtractors = optional_list(*subtractors);
    exploration->comparators = optional_list(*comparators);
    exploration->sizes = *sizes;
    exploration->embeddings = embedding_choices.at(static_cast<std::size_t>(embeddings_->currentIndex()));
    exploration->keys = random_keys(key_count_->value(), static_cast<uint64_t>(seed_->value()));

    exploration_ = std::move(exploration);
    summary_ = std::make_unique<ExplorationSummary>(*exploration_, std::nullopt);
    choices_.clear();
    table_->setRowCount(0);
    plot_->show_summary(summary_.get());
    const uint64_t total = combination_count(*exploration_);
    progress_->setRange(0, static_cast<int>(std::min<uint64_t>(total, INT32_MAX)));
    progress_->setValue(0);
    message_->setText(QString("%1 combinations").arg(total));
    cancel_ = false;
    run_button_->setEnabled(false);
    cancel_button_->setEnabled(true);

    const int threads = threads_->value();
    worker_ = QThread::create([this, threads] {
        try {
            explore(*exploration_, Shard{}, threads, [this](const CombinationResult &result) {
                std::lock_guard<std::mutex> lock(pending_mutex_);
                pending_.push_back(result);
            }, &cancel_);
        } catch (const std::exception &failure) {
            std::lock_guard<std::mutex> lock(pending_mutex_);
            failure_ = QString("The exploration stopped: ") + failure.what();
        }
    });
    connect(worker_, &QThread::finished, this, &ExploreDialog::finish);
    worker_->start();
    drain_timer_.start();
}

void ExploreDialog::cancel() {
    cancel_ = true;
    cancel_button_->setEnabled(false);
}

void ExploreDialog::take_results() {
    std::vector<CombinationResult> results;
    {
        std::lock_guard<std::mutex> lock(pending_mutex_);
        results.swap(pending_);
    }
    if (results.empty())
        return;
    table_->setSortingEnabled(false);
    for (const CombinationResult &result : results) {
        add_row(result);
        summary_->add(result);
    }
    table_->setSortingEnabled(true);
    progress_->setValue(progress_->value() + static_cast<int>(results.size()));
    plot_->update();
}

void ExploreDialog::add_row(const CombinationResult &result) {
    const Combination &c = result.combination;
    const ExplorationKey &key = exploration_->keys[c.key];
    ExploreChoice choice;
    choice.adders = QString::number(exploration_->adders[c.adders]);
    choice.multipliers = QString::number(exploration_->multipliers[c.multipliers]);
    choice.subtractors = optional_text(exploration_->subtractors[c.subtractors]);
    choice.comparators = optional_text(exploration_->comparators[c.comparators]);
    choice.count = QString::number(key_encoding_count(key));
    choice.encodings = QString::fromStdString(key.encodings.text);
    choice.order = QString::fromStdString(key.order);
    choice.rounds = QString::fromStdString(key.rounds.text);
    choice.embedding = embedding_mode_name(exploration_->embeddings[c.embedding]);
    choice.size = QString::number(exploration_->sizes[c.size]);

    const int row = table_->rowCount();
    table_->insertRow(row);
    auto *first = number_cell(static_cast<double>(c.index));
    first->setData(Qt::UserRole, static_cast<int>(choices_.size()));
    table_->setItem(row, 0, first);
    const QString texts[] = {choice.adders, choice.multipliers, choice.subtractors, choice.comparators, choice.count,
                             choice.encodings, choice.order,      choice.rounds,      choice.embedding, choice.size};
    for (int column = 1; column <= 10; ++column) {
        const bool text = column >= 6 && column <= 9;
        table_->setItem(row, column, text ? text_cell(texts[column - 1]) : number_cell(texts[column - 1].toDouble()));
    }
    if (result.error) {
        table_->setItem(row, 14, text_cell(QString::fromStdString(*result.error)));
    } else {
        table_->setItem(row, 11, number_cell(100 * result.overhead));
        table_->setItem(row, 12, number_cell(result.run.figures.pc_phase2));
        table_->setItem(row, 13, number_cell(result.pc_distinguishing));
    }
    choices_.push_back(choice);
}

void ExploreDialog::choose_row() {
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    if (selected.isEmpty())
        return;
    const QTableWidgetItem *first = table_->item(selected.first()->row(), 0);
    emit combination_chosen(choices_.at(static_cast<std::size_t>(first->data(Qt::UserRole).toInt())));
}

void ExploreDialog::finish() {
    drain_timer_.stop();
    take_results();
    worker_->deleteLater();
    worker_ = nullptr;
    run_button_->setEnabled(true);
    cancel_button_->setEnabled(false);
    uint64_t refused = 0;
    for (const CoreSummary &core : summary_->cores())
        refused += core.refused;
    std::lock_guard<std::mutex> lock(pending_mutex_);
    if (!failure_.isEmpty()) {
        message_->setText(failure_);
        failure_.clear();
        return;
    }
    message_->setText(QString("%1 of %2 combinations run%3, %4 refused")
                          .arg(table_->rowCount())
                          .arg(combination_count(*exploration_))
                          .arg(cancel_ ? " (cancelled)" : "")
                          .arg(refused));
}

}  // namespace velnor
