#pragma once
// A message too long for a message box (a batch of hundreds of files): its first lines, a list
// that scrolls, a closing question and the buttons. Whatever the list's length the window fits
// the screen with its buttons on it; every text in it can be selected and copied.

#include <QDialog>
#include <QMessageBox>
#include <QStringList>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

namespace vantrel {

class ListMessage : public QDialog {
    Q_OBJECT
public:
    ListMessage(QWidget* owner, const QString& title, const QString& text, const QStringList& lines,
                const QString& question, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon);

    // The button pressed; closed otherwise (Escape, the window's close box), No, Cancel or OK as
    // the buttons offer.
    QMessageBox::StandardButton Answer() const { return answer_; }
    QLabel* Text() const { return text_; }
    QPlainTextEdit* List() const { return list_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    QMessageBox::StandardButton answer_;
    QLabel* text_;
    QPlainTextEdit* list_;
    QDialogButtonBox* buttons_;
};

}  // namespace vantrel
