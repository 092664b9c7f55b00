// The program's own dialogs: the real QMessageBox, QFileDialog and QInputDialog calls.
#include "app/dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace velnor {

QString QtDialogs::open_file(QWidget *parent, const QString &caption, const QString &directory,
                             const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString QtDialogs::save_file(QWidget *parent, const QString &caption, const QString &directory,
                             const QString &filter) {
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

QString QtDialogs::existing_directory(QWidget *parent, const QString &caption, const QString &directory,
                                      QFileDialog::Options options) {
    return QFileDialog::getExistingDirectory(parent, caption, directory, options);
}

void QtDialogs::critical(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void QtDialogs::information(QWidget *parent, const QString &title, const QString &text) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::question(QWidget *parent, const QString &title, const QString &text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString QtDialogs::choose_item(QWidget *parent, const QString &title, const QString &label,
                               const QStringList &items) {
    bool chosen = false;
    const QString item = QInputDialog::getItem(parent, title, label, items, 0, /*editable=*/false, &chosen);
    return chosen ? item : QString();
}

}  // namespace velnor
