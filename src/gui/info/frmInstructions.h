#pragma once
// How to convert a file: shown at start-up and from Help > Instructions.

#include <QWidget>

namespace vantrel {

class frmInstructions : public QWidget {
    Q_OBJECT
public:
    explicit frmInstructions(QWidget* parent = nullptr);
    // The text shown, for the window and its help topic.
    static QString InstructionText();
};

}  // namespace vantrel
