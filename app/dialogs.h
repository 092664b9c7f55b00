// The window's modal boxes and file dialogs behind one small interface, so that
// tests can answer them without a real modal event loop. QtDialogs is the one
// the program uses: it opens QMessageBox, QFileDialog and QInputDialog.
#pragma once

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QString>
#include <QStringList>

class QWidget;

namespace velnor {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A file to open; empty when the user cancels.
    virtual QString open_file(QWidget *parent, const QString &caption, const QString &directory,
                              const QString &filter) = 0;
    // A file to write; empty when the user cancels.
    virtual QString save_file(QWidget *parent, const QString &caption, const QString &directory,
                              const QString &filter) = 0;
    // A directory; empty when the user cancels.
    virtual QString existing_directory(QWidget *parent, const QString &caption, const QString &directory,
                                       QFileDialog::Options options) = 0;
    // A critical box with a single Ok button.
    virtual void critical(QWidget *parent, const QString &title, const QString &text) = 0;
    // An information box with a single Ok button.
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    // A Yes/No question with no default button; true exactly when the answer is Yes.
    virtual bool question(QWidget *parent, const QString &title, const QString &text) = 0;
    // One of items, the first offered; empty when the user cancels.
    virtual QString choose_item(QWidget *parent, const QString &title, const QString &label,
                                const QStringList &items) = 0;

    // The folder the extension dialogs (datapath, Verilog, verification,
    // record, charts) open in: the one last chosen in any of them this
    // session, the home folder before that.
    QString extension_folder() const { return extension_folder_.isEmpty() ? QDir::homePath() : extension_folder_; }
    void remember_folder(const QString &folder) {
        if (!folder.isEmpty())
            extension_folder_ = folder;
    }
    void remember_file(const QString &file) {
        if (!file.isEmpty())
            extension_folder_ = QFileInfo(file).absolutePath();
    }

private:
    QString extension_folder_;
};

class QtDialogs : public Dialogs {
public:
    QString open_file(QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter) override;
    QString save_file(QWidget *parent, const QString &caption, const QString &directory,
                      const QString &filter) override;
    QString existing_directory(QWidget *parent, const QString &caption, const QString &directory,
                               QFileDialog::Options options) override;
    void critical(QWidget *parent, const QString &title, const QString &text) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    QString choose_item(QWidget *parent, const QString &title, const QString &label,
                        const QStringList &items) override;
};

}  // namespace velnor
