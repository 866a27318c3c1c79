#pragma once
// The three-column view of one PDDX document (section, item, value), one row per element, with
// in-place editing of the value column. The rows are read from the document itself, never
// copied into widget items, so a document of a million drops shows at once.

#include <QAbstractTableModel>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "document/PDDXFile.h"

class QLineEdit;
class QTableView;

namespace vantrel {

class PdxGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows are numbered from 1, as the header row is row 0 of the grid.
    void Reset(std::vector<PDDXElement*> rows, int highestIndex);
    int RowCount() const { return rowCount_; }
    PDDXElement* RowElement(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
    int RowOf(const PDDXElement& element) const;
    int HighestIndex() const { return highestIndex_; }
    QString CellText(int row, int column) const;
    bool IsYellow(int row, int column) const;
    void SetYellow(int row, int column, bool yellow);
    void TextChanged(int row, int column);

private:
    std::vector<PDDXElement*> rows_;  // RowElements: grows to the row number + 10 when outgrown
    std::vector<std::uint8_t> yellow_;  // one bit per column
    // Rows by element: open addressing over row numbers, at most half full. A flat table, for a
    // map of a million nodes took longer to build than the rest of the grid.
    std::vector<std::uint32_t> rowOf_;
    static std::size_t SlotOf(const PDDXElement* element);
    int rowCount_ = 0;
    int highestIndex_ = 150;
};

class pdxGrid : public QWidget {
    Q_OBJECT
public:
    explicit pdxGrid(QWidget* parent = nullptr);

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CellClicked(const QModelIndex& index);
    void LeaveCell();
    void Commit();
    void CloseEditor();
    void PlaceEditor();
    void SetCurrent(int row, int column);

    QTableView* grdItems_;
    QLineEdit* txtGrid_;
    PdxGridModel* model_;
    PDDXFile* document_ = nullptr;
    int currentRow_ = 0;
    int currentColumn_ = 0;
    // The row whose value the open editor holds: the current cell may move before the edit ends.
    int editRow_ = 0;
    bool editing_ = false;
    bool committing_ = false;
    bool laidOut_ = false;
};

}  // namespace vantrel
