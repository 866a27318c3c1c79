#pragma once
// A child window of the main window showing one converted document for checking and completion
// before it is written as a .DDX file.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Prompts.h"
#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace vantrel {

class CheckList;
class FindBar;
class FindingsPanel;
class PlotPanel;
class ReviewGrid;

class ReviewWindow : public QWidget {
    Q_OBJECT
public:
    // Asks its questions (save name, number of drops, save on closing) through `prompts`.
    explicit ReviewWindow(Prompts& prompts, QWidget* parent = nullptr);
    ~ReviewWindow() override;

    // Shows this document (owned jointly with whoever merges into it) and marks it unsaved.
    void SetPDDXDataSet(std::shared_ptr<PDDXFile> document);
    const std::shared_ptr<PDDXFile>& PDDXDataSet() const { return document_; }

    void SetSourceFile(const QString& source);
    const QString& SourceFile() const { return sourceFile_; }
    const QString& OutputName() const { return outputName_; }
    void AddSource(const QString& fileName);
    // The files listed in Source Files that are there to be read (not a blank document's name).
    QStringList Sources() const;
    // What Save As says of an existing file chosen: refused for a source file.
    Replacing Replaces(const QString& path) const;

    // The state the readings of this window's document left, for the files merged into it next.
    const std::shared_ptr<ReadingState>& Reading() const { return reading_; }
    void SetReading(std::shared_ptr<ReadingState> reading) { reading_ = std::move(reading); }

    // Adds lines that a reading skipped or took only in part to the findings.
    void AddWarnings(const std::vector<std::string>& lines);

    // Empty drops for the highest-numbered test location, then the grid rebuilt.
    void AddBlankDropData(int dropsToAdd);

    void SetDataChanged(bool changed);
    bool DataChanged() const { return dataChanged_; }

    // Asks for a file name and writes the document; true when it was written.
    bool Write();
    // Writes to the name last written to without asking (the first time, as Write); true when
    // it was written.
    bool Save();
    // Adds a test location and asks how many empty drops it gets.
    void AddTests();

    ReviewGrid* Grid() const { return pdxDataGrid_; }
    FindBar* Find() const { return findBar_; }
    PlotPanel* Plots() const { return plots_; }
    // The check of the document, again after each change.
    CheckList* Checks() const { return checks_; }
    // What the reading warned of and what the check finds, beside the grid.
    FindingsPanel* Findings() const { return findings_; }
    // Shows or hides the plots beside the grid.
    void ShowPlots(bool shown);
    // Shows or hides the findings beside the grid (shown at first).
    void ShowFindings(bool shown);
    QPushButton* AddTestsButton() const { return cmdAddSection_; }
    QPushButton* MergeButton() const { return cmdAppend_; }

    // What the merge command does (the main window opens the dialog in append mode).
    std::function<void(ReviewWindow*)> OnMerge;

    // The controls are placed by hand, so the window states the size it opens with; it cannot be
    // made smaller than the size at which each of them shows whole.
    QSize sizeHint() const override { return {960, 700}; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ElementChanged(PDDXElement& element);
    bool WriteTo(const QString& name);
    void ShowUnsaved();
    void FitMinimumToBody();
    void RefreshPlotsLater();
    // Shares the grid's place between the grid and what is shown beside it.
    void FitSplitter();
    void WidenFor(int paneWidth);
    int FindingsWidth() const;
    // Gives the grid its least width first: the panels beside it shrink, then fold away.
    void CollapsePanels();

    Prompts& prompts_;
    std::shared_ptr<PDDXFile> document_;
    std::shared_ptr<ReadingState> reading_;
    int subscription_ = 0;
    QString sourceFile_;
    QString outputName_;
    bool dataChanged_ = false;
    // Changes that are not on the grid's undo stack (a new document, a merge, added tests).
    bool changedBesideUndo_ = false;
    bool writtenOnce_ = false;
    QSize baseMinimum_;
    bool plotsPending_ = false;
    // The panel beside the grid shown last (1 the findings, 2 the plots), which folds last; those
    // folded for want of room.
    int shownLast_ = 1;
    std::array<bool, 2> folded_{};

    ReviewGrid* pdxDataGrid_;
    // The grid's place: the find bar above the grid, the plots beside it.
    QWidget* body_;
    FindBar* findBar_;
    QSplitter* splitter_;
    PlotPanel* plots_;
    FindingsPanel* findings_;
    CheckList* checks_;
    QPushButton* cmdFind_;
    QPushButton* cmdPlots_;
    QPushButton* cmdFindings_;
    QPlainTextEdit* txtSource_;
    QLabel* lblStatus_;
    QPushButton* cmdWrite_;
    QPushButton* cmdAddSection_;
    QPushButton* cmdAppend_;
    QPushButton* Command1_;
};

}  // namespace vantrel
