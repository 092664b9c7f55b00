// The dialog reads its lists with the batch tool's rules (blank-separated whole
// numbers), loads the two files into an exploration of its own and runs it on
// a QThread; the worker only queues results, and a timer on the window's
// thread moves them into the summary and the results half in order. The lists
// open with defaults fitted to the loaded core.
#include "app/explore_dialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <thread>

#include "flow/exploration_runner.h"
#include "flow/random_keys.h"

namespace velnor {
namespace {

// The embeddings to try, as the choices of the dialog's list offer them.
const std::vector<std::vector<EmbeddingMode>> embedding_choices = {
    {EmbeddingMode::Specified}, {EmbeddingMode::Strong}, {EmbeddingMode::Specified, EmbeddingMode::Strong}};

// A list's numbers as the field shows them.
QString list_text(const std::vector<int> &numbers) {
    QStringList texts;
    for (int number : numbers)
        texts << QString::number(number);
    return texts.join(' ');
}

}  // namespace

ExploreDialog::ExploreDialog(const QString &dfg_path, const QString &library_path,
                             const ExplorationDefaults &defaults, QWidget *parent)
    : QDialog(parent),
      dfg_path_(dfg_path),
      library_path_(library_path),
      adders_optional_(defaults.adders.empty()),
      multipliers_optional_(defaults.multipliers.empty()) {
    setWindowTitle("Explore keys, sizes and resources");
    qRegisterMetaType<velnor::ExploreChoice>();

    adders_ = new QLineEdit(list_text(defaults.adders));
    multipliers_ = new QLineEdit(list_text(defaults.multipliers));
    subtractors_ = new QLineEdit(list_text(defaults.subtractors));
    comparators_ = new QLineEdit(list_text(defaults.comparators));
    sizes_ = new QLineEdit(list_text(defaults.sizes));
    embeddings_ = new QComboBox;
    embeddings_->addItems({"specified", "strong", "specified and strong"});
    embeddings_->setObjectName("embeddings");
    for (QLineEdit *list : {adders_, multipliers_, subtractors_, comparators_})
        if (list->text().isEmpty())
            list->setPlaceholderText("the DSP core has none");
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
    subtractors_->setObjectName("subtractors");
    comparators_->setObjectName("comparators");
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

    results_ = new ExploreResults;

    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(buttons);
    left->addWidget(message_);
    left->addStretch();
    left->addWidget(use_button_);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(results_, 1);
    // Room for the form, the plot and the table's sorting columns, within the screen.
    QSize size(1280, 820);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);

    connect(run_button_, &QPushButton::clicked, this, &ExploreDialog::start);
    connect(cancel_button_, &QPushButton::clicked, this, &ExploreDialog::cancel);
    connect(use_button_, &QPushButton::clicked, this, &ExploreDialog::choose_row);
    connect(results_, &ExploreResults::row_activated, this, &ExploreDialog::choose_row);
    connect(results_, &ExploreResults::selection_changed, use_button_, &QPushButton::setEnabled);
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
    const auto adders = read_list(adders_, "Adders", adders_optional_);
    const auto multipliers = adders ? read_list(multipliers_, "Multipliers", multipliers_optional_) : std::nullopt;
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
    // A type the core lacks takes no count; 0 stands for its empty field.
    exploration->adders = adders->empty() ? std::vector<int>{0} : *adders;
    exploration->multipliers = multipliers->empty() ? std::vector<int>{0} : *multipliers;
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
    results_->begin(*exploration_, *summary_);
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
    for (const CombinationResult &result : results)
        summary_->add(result);
    results_->add(results);
    progress_->setValue(progress_->value() + static_cast<int>(results.size()));
}

void ExploreDialog::choose_row() {
    if (const std::optional<ExploreChoice> choice = results_->selected())
        emit combination_chosen(*choice);
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
                          .arg(results_->row_count())
                          .arg(combination_count(*exploration_))
                          .arg(cancel_ ? " (cancelled)" : "")
                          .arg(refused));
}

}  // namespace velnor
