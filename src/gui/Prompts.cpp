#include "gui/Prompts.h"

#include "gui/ExportDialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

namespace vantrel {

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
    p.Input = [](QWidget* owner, const QString& title, const QString& prompt) {
        return QInputDialog::getText(owner, title, prompt);
    };
    p.OpenFileName = [](QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                        const QString& selected) {
        QString shown = selected;
        return QFileDialog::getOpenFileName(owner, title, initialName, filter, &shown);
    };
    // getSaveFileName asks before replacing an existing file unless told not to.
    p.SaveFileName = [](QWidget* owner, const QString& title, const QString& initialName, const QString& filter) {
        return QFileDialog::getSaveFileName(owner, title, initialName, filter);
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
