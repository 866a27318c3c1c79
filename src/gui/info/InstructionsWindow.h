#pragma once
// How to convert a file: shown at start-up (unless the user turned that off here) and from
// Help > Instructions.

#include <QWidget>

namespace vantrel {

class InstructionsWindow : public QWidget {
    Q_OBJECT
public:
    // The "Show at start" box reads and sets `showAtStart`, which outlives the window.
    explicit InstructionsWindow(bool& showAtStart, QWidget* parent = nullptr);
    // The text shown, for the window and its help topic.
    static QString InstructionText();
};

}  // namespace vantrel
