#pragma once
// The program's help: HTML topics built into the program, opened at the topic of whatever has
// the focus (F1, or Help > Index).

#include <QWidget>

class QTextBrowser;

namespace vantrel {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Opens (or reuses) the help window of `owner` at the topic of `focus`.
    static HelpWindow* ShowFor(QWidget* focus, QWidget* owner);
    // The topic for a widget: the nearest one, going outwards, whose name has a topic.
    static QString TopicFor(const QWidget* focus);

    void ShowTopic(const QString& topic);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace vantrel
