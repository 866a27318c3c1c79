#include "gui/Prompts.h"

#include "gui/ExportDialog.h"
#include "gui/ListMessage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QStringList>

namespace vantrel {
namespace {

// The toolkit's save chooser, asking its own question before a file is replaced: the toolkit's
// native choosers cannot be asked to.
class SaveChooser : public QFileDialog {
public:
    SaveChooser(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                ReplaceCheck check)
        : QFileDialog(owner, title, initialName, filter), check_(std::move(check))
    {
        setObjectName("SaveChooser");
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    }

protected:
    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        if (QFileInfo(chosen).isFile()) {
            const Replacing replacing = check_(chosen);
            if (replacing.Refused) {
                QMessageBox::warning(this, windowTitle(), replacing.Text);
                return;
            }
            if (QMessageBox::question(this, windowTitle(), replacing.Text, QMessageBox::Yes | QMessageBox::No,
                                      QMessageBox::No) != QMessageBox::Yes)
                return;
        }
        QFileDialog::accept();
    }

private:
    ReplaceCheck check_;
};

}  // namespace

Prompts StandardPrompts()
{
    Prompts p;
    p.Inform = [](QWidget* owner, const QString& title, const QString& text) {
        QMessageBox::information(owner, title, text, QMessageBox::Ok);
    };
    p.Warn = [](QWidget* owner, const QString& title, const QString& text) {
        QMessageBox::warning(owner, title, text, QMessageBox::Ok);
    };
    p.Ask = [](QWidget* owner, const QString& title, const QString& text, QMessageBox::StandardButtons buttons) {
        return QMessageBox::question(owner, title, text, buttons);
    };
    p.List = [](QWidget* owner, const QString& title, const QString& text, const QStringList& lines,
                const QString& question, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon) {
        ListMessage message(owner, title, text, lines, question, buttons, icon);
        message.exec();
        return message.Answer();
    };
    p.Input = [](QWidget* owner, const QString& title, const QString& prompt) {
        return QInputDialog::getText(owner, title, prompt);
    };
    p.OpenFileName = [](QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                        const QString& selected) {
        QString shown = selected;
        return QFileDialog::getOpenFileName(owner, title, initialName, filter, &shown);
    };
    // getSaveFileName asks before replacing an existing file unless told not to.
    p.SaveFileName = [](QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                        const ReplaceCheck& check) {
        if (!check) return QFileDialog::getSaveFileName(owner, title, initialName, filter);
        SaveChooser chooser(owner, title, initialName, filter, check);
        return chooser.exec() == QDialog::Accepted ? chooser.selectedFiles().value(0) : QString();
    };
    p.Folder = [](QWidget* owner, const QString& title) {
        return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
    };
    p.ExportChoices = [](QWidget* owner, ExportOptions& options) {
        ExportDialog dialog(owner);
        dialog.SetOptions(options);
        if (dialog.exec() != QDialog::Accepted) return false;
        options = dialog.Options();
        return true;
    };
    return p;
}

QString QtFilter(const QString& pairs)
{
    const QStringList parts = pairs.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // The toolkit takes the patterns from the last brackets, so a description that already
        // shows its patterns ("(*.F25; *.FWD)") keeps them as text and gets clean ones after.
        filters << description + " (" + patterns.simplified() + ")";
    }
    return filters.join(";;");
}

}  // namespace vantrel
