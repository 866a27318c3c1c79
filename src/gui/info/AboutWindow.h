#pragma once
// The about window and the acknowledgements window it opens.

#include <QWidget>

namespace vantrel {

// "Version " + major.minor.revision.
QString VersionLabelText();

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

class AcknowledgeWindow : public QWidget {
    Q_OBJECT
public:
    explicit AcknowledgeWindow(QWidget* parent = nullptr);
};

}  // namespace vantrel
