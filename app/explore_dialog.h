// The window's "Explore…" dialog: sizes, resource lists, embeddings and a
// number of random keys for the loaded DSP core and library, run in the
// background through the engine's exploration with a progress bar and Cancel;
// the results as a plot and a sortable table, a chosen row handed back to the
// window, which runs it in its form.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "app/explore_results.h"
#include "flow/exploration.h"
#include "flow/exploration_defaults.h"
#include "flow/exploration_summary.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;

namespace velnor {

class ExploreDialog : public QDialog {
    Q_OBJECT

public:
    // Explores the DSP core and library at these paths (read again, so the
    // exploration never touches the window's own design), the lists filled
    // with defaults fitted to that core.
    ExploreDialog(const QString &dfg_path, const QString &library_path, const ExplorationDefaults &defaults,
                  QWidget *parent = nullptr);
    ~ExploreDialog() override;

signals:
    void combination_chosen(const velnor::ExploreChoice &choice);

private slots:
    void start();
    void cancel();
    void take_results();
    void choose_row();

private:
    void finish();
    std::optional<std::vector<int>> read_list(QLineEdit *field, const QString &name, bool may_be_empty);

    QString dfg_path_, library_path_;
    QLineEdit *adders_, *multipliers_, *subtractors_, *comparators_, *sizes_;
    QComboBox *embeddings_;
    QSpinBox *key_count_, *seed_, *threads_;
    QPushButton *run_button_, *cancel_button_, *use_button_;
    QProgressBar *progress_;
    QLabel *message_;
    ExploreResults *results_;
    // Whether the core lacks adders or multipliers: their field may stay empty.
    bool adders_optional_, multipliers_optional_;

    // The exploration that runs, the results the worker has handed over and
    // not yet shown, and what has been shown.
    std::unique_ptr<Exploration> exploration_;
    std::unique_ptr<ExplorationSummary> summary_;
    std::mutex pending_mutex_;
    std::vector<CombinationResult> pending_;
    QString failure_;  // what stopped the worker, if anything did
    std::atomic<bool> cancel_{false};
    QThread *worker_ = nullptr;
    QTimer drain_timer_;
};

}  // namespace velnor
