#pragma once
// The three-column view of one PDDX document (section, item, value), one row per element, with
// in-place editing of the value column. The rows are read from the document itself, never
// copied into widget items, so a document of a million drops shows at once.
//
// Around the described grid: editing from the keyboard, rows selected and copied, undo and redo
// of value edits, and a filter that shows only the rows holding a text or missing a value.

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/PDDXFile.h"

class QAction;
class QLineEdit;
class QTableView;
class QUndoStack;

namespace vantrel {

// An element as a finding names it: section and item, any letter case.
struct GridElement {
    QString Section;
    QString Key;
};

class ReviewGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows are numbered from 1, as the header row is row 0 of the grid. A filter shows some of
    // them; the view's rows are then the shown ones in order.
    void Reset(std::vector<PDDXElement*> rows, int highestIndex);
    int RowCount() const { return rowCount_; }
    PDDXElement* RowElement(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
    int RowOf(const PDDXElement& element) const;
    int HighestIndex() const { return highestIndex_; }
    QString CellText(int row, int column) const;
    bool IsYellow(int row, int column) const;
    void SetYellow(int row, int column, bool yellow);
    void TextChanged(int row, int column);

    // Shows only these rows (ascending), or all of them again.
    void Show(std::vector<int> rows);
    void ShowAll();
    bool Filtered() const { return filtered_; }
    const std::vector<int>& ShownRows() const { return shown_; }
    int ShownCount() const { return filtered_ ? static_cast<int>(shown_.size()) : rowCount_; }
    // The row shown at a position of the view, and the view's index of a row's cell (invalid
    // when the row is not shown).
    int RowAt(int viewRow) const;
    QModelIndex CellIndex(int row, int column) const;

private:
    std::vector<PDDXElement*> rows_;    // RowElements: grows to the row number + 10 when outgrown
    std::vector<std::uint8_t> yellow_;  // one bit per column
    // Rows by element: open addressing over row numbers, at most half full. A flat table, for a
    // map of a million nodes took longer to build than the rest of the grid.
    std::vector<std::uint32_t> rowOf_;
    static std::size_t SlotOf(const PDDXElement* element);
    std::vector<int> shown_;
    bool filtered_ = false;
    int rowCount_ = 0;
    int highestIndex_ = 150;
};

class ReviewGrid : public QWidget {
    Q_OBJECT
public:
    explicit ReviewGrid(QWidget* parent = nullptr);

    // Stores the document and shows it.
    void SetPDDXFile(PDDXFile* document);
    PDDXFile* Document() const { return document_; }
    // Rebuilds every row from the document.
    void Attach(PDDXFile& document);
    // Refreshes the row of this very element (ignored when it is not shown).
    void ElementChange(PDDXElement& element);
    // Flags the load-plate radius and the two sensor-offset elements and recolours every row.
    void ElementCheckFlags();

    int RowCount() const { return model_->RowCount(); }
    int RowElementsHighestIndex() const { return model_->HighestIndex(); }
    PDDXElement* RowElement(int row) const { return model_->RowElement(row); }
    QString CellText(int row, int column) const { return model_->CellText(row, column); }
    bool IsYellow(int row, int column) const { return model_->IsYellow(row, column); }
    int CurrentRow() const { return currentRow_; }
    int CurrentColumn() const { return currentColumn_; }
    bool Editing() const { return editing_; }
    QTableView* Table() const { return grdItems_; }
    QLineEdit* Editor() const { return txtGrid_; }

    // Shows only the rows whose section, item or value holds `text` (any letter case) and, with
    // `missingOnly`, that are flagged and empty. Empty text and no toggle show every row.
    void SetFilter(const QString& text, bool missingOnly);
    int ShownRowCount() const { return model_->ShownCount(); }
    // The first row of section "Test Location " + number; 0 when there is none.
    int TestLocationRow(int number) const;
    // Makes a shown row current and selected, scrolled to the top; false when it is not shown.
    bool GoToRow(int row) { return GoToRows({row}); }
    // The same for the first of these rows, the others that are shown selected with it.
    bool GoToRows(const std::vector<int>& rows);

    // The selected rows (the current one when none is) as lines of section, item and value
    // separated by tabs; Copy puts them on the clipboard.
    QString SelectedText() const;
    void Copy();
    // Ctrl+V: a text of rows as Copy writes them sets each named element's value; a single text
    // sets every selected value cell. One undo step; gives the number of values changed.
    int PasteText(const QString& text);
    void Paste();
    // Delete: empties the selected value cells, one undo step.
    void ClearValues();
    // Moves the focus to the control after (or before) the grid, as Ctrl+Tab does.
    void LeaveGrid(bool forward);
    // Commits an open edit, as a click elsewhere would (before a close or a save).
    void FinishEdit();
    // Whether the value now changing is the grid's own edit, undo or redo.
    bool ApplyingEdit() const { return applying_ || committing_; }
    void Undo();
    void Redo();
    QUndoStack* UndoStack() const { return undo_; }
    // Copy, Undo and Redo with their keys, for the window to offer wherever its focus is.
    QList<QAction*> EditActions() const { return actions_; }
    // Sets an element's value through the document as an undone or redone edit does.
    void ApplyValue(const std::string& section, const std::string& item, const std::string& value);
    // The row of an element named by section and item (any letter case); 0 when there is none.
    int RowOf(const QString& section, const QString& item) const;

signals:
    // The element of the current row, whenever the current row changes (null for none).
    void CurrentElementChanged(PDDXElement* element);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CellClicked(const QModelIndex& index);
    void StartEdit(int row, const QString& text, bool selectAll);
    void LeaveCell();
    void Commit();
    void CloseEditor();
    void PlaceEditor();
    void SetCurrent(int row, int column);
    void FitColumns();
    bool EditorKey(const QKeyEvent& key);
    // The selected rows, in order (the current one when none is selected).
    std::vector<int> SelectedRows() const;
    int SetValues(const std::vector<std::pair<PDDXElement*, std::string>>& values, const QString& name);
    bool TableKey(const QKeyEvent& key);
    void Step(void (QUndoStack::*step)());

    QTableView* grdItems_;
    QLineEdit* txtGrid_;
    ReviewGridModel* model_;
    QUndoStack* undo_;
    QList<QAction*> actions_;
    PDDXFile* document_ = nullptr;
    int currentRow_ = 0;
    int currentColumn_ = 0;
    // The row whose value the open editor holds: the current cell may move before the edit ends.
    int editRow_ = 0;
    // While the grid itself sets a value (a commit, an undo, a paste).
    bool applying_ = false;
    bool inMacro_ = false;
    // While an undo or redo runs: the rows it changed.
    bool stepping_ = false;
    std::vector<int> steppedRows_;
    bool editing_ = false;
    bool committing_ = false;
    // The widths Section and Item need for their longest text.
    std::array<int, 2> measured_{};
    // The last filter, so that a longer text only looks among the rows already shown.
    std::string filterText_;
    bool missingOnly_ = false;
};

}  // namespace vantrel
