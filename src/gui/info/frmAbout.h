#pragma once
// The about window and the acknowledgements window it opens.

#include <QWidget>

namespace vantrel {

// "Version " + major.minor.revision.
QString VersionLabelText();

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};

class frmAcknowledge : public QWidget {
    Q_OBJECT
public:
    explicit frmAcknowledge(QWidget* parent = nullptr);
};

}  // namespace vantrel
