#pragma once
// The modal questions the windows ask: message boxes, the input box and the file and folder
// choosers. They all go through one table that the main window owns and hands to the windows it
// makes, so that a test can give the program answers the way a user would.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vantrel {

struct ExportOptions;

// What a save chooser says of an existing file chosen in it, in place of the toolkit's question:
// the question asked before it is replaced, or, when `Refused`, why it is never replaced (the
// chooser then stays open for another name).
struct Replacing {
    QString Text;
    bool Refused = false;
};
using ReplaceCheck = std::function<Replacing(const QString& path)>;

struct Prompts {
    // A message with an OK button.
    std::function<void(QWidget* owner, const QString& title, const QString& text)> Inform;
    // A failure (a file that could not be read or written) with an OK button.
    std::function<void(QWidget* owner, const QString& title, const QString& text)> Warn;
    // A question with the given buttons; returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* owner, const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons)>
        Ask;
    // A message over a list that may be long (a batch's files): `text` first, then `lines` in a
    // list that scrolls, then `question`; returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* owner, const QString& title, const QString& text,
                                              const QStringList& lines, const QString& question,
                                              QMessageBox::StandardButtons buttons, QMessageBox::Icon icon)>
        List;
    // The input box: the typed text, or empty when cancelled.
    std::function<QString(QWidget* owner, const QString& title, const QString& prompt)> Input;
    // File chooser to open an existing file; empty when cancelled. `filter` in Qt's form, and
    // `selected` the one of its entries it comes up on (empty: the first).
    std::function<QString(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                          const QString& selected)>
        OpenFileName;
    // File chooser to save, confirming before an existing file is replaced (asking what `check`
    // says, where one is given); empty when cancelled.
    std::function<QString(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                          const ReplaceCheck& check)>
        SaveFileName;
    // Folder chooser; empty when cancelled.
    std::function<QString(QWidget* owner, const QString& title)> Folder;
    // What File > Export Drops writes, starting from `options`; false when cancelled.
    std::function<bool(QWidget* owner, ExportOptions& options)> ExportChoices;
};

// The toolkit's own dialogs.
Prompts StandardPrompts();

// "A|*.x|B|*.y;*.z" (description and pattern pairs) in Qt's form "A (*.x);;B (*.y *.z)".
QString QtFilter(const QString& pairs);

}  // namespace vantrel
