#pragma once
// The modal questions the windows ask: message boxes, the input box and the file and folder
// choosers. They all go through one table that the main window owns and hands to the windows it
// makes, so that a test can give the program answers the way a user would.

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace vantrel {

struct ExportOptions;

struct Prompts {
    // A message with an OK button.
    std::function<void(QWidget* owner, const QString& title, const QString& text)> Inform;
    // A failure (a file that could not be read or written) with an OK button.
    std::function<void(QWidget* owner, const QString& title, const QString& text)> Warn;
    // A question with the given buttons; returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* owner, const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons)>
        Ask;
    // The input box: the typed text, or empty when cancelled.
    std::function<QString(QWidget* owner, const QString& title, const QString& prompt)> Input;
    // File chooser to open an existing file; empty when cancelled. `filter` in Qt's form, and
    // `selected` the one of its entries it comes up on (empty: the first).
    std::function<QString(QWidget* owner, const QString& title, const QString& initialName, const QString& filter,
                          const QString& selected)>
        OpenFileName;
    // File chooser to save, confirming before an existing file is replaced; empty when cancelled.
    std::function<QString(QWidget* owner, const QString& title, const QString& initialName, const QString& filter)>
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
