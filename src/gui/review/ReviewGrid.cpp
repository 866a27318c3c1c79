#include "gui/review/ReviewGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUndoStack>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <stdexcept>

#include "base/Latin1.h"
#include "core/Check.h"
#include "gui/Twips.h"

namespace vantrel {
namespace {

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const std::array<const char*, 3> kCaptions = {"Section ", "Item ", "Value "};

QString FromLatin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Text widths from one table of character advances: exact enough for sizing columns, and fast
// enough to measure every row of a very large document.
class TextMeasure {
public:
    explicit TextMeasure(const QFontMetrics& metrics)
    {
        for (int c = 0; c < 256; ++c) {
            advance_[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QChar(c));
            widestChar_ = std::max(widestChar_, advance_[static_cast<std::size_t>(c)]);
        }
    }
    // `widest` or the width of `text` if that is wider; most texts are shown not to be by their
    // length alone, which matters over a million rows.
    int Wider(int widest, std::string_view text) const
    {
        if (static_cast<long long>(text.size()) * widestChar_ <= widest) return widest;
        return std::max(widest, Width(text));
    }
    int Width(std::string_view text) const
    {
        int width = 0;
        for (const char c : text) width += advance_[static_cast<unsigned char>(c)];
        return width;
    }

private:
    std::array<int, 256> advance_{};
    int widestChar_ = 0;
};

std::string Latin1Bytes(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

// A selected row keeps its colours under a see-through highlight, so a yellow cell stays yellow.
class KeepColours : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!(option.state & QStyle::State_Selected)) return QStyledItemDelegate::paint(painter, option, index);
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, plain, index);
        QColor highlight = option.palette.color(QPalette::Highlight);
        highlight.setAlpha(90);
        painter->fillRect(option.rect, highlight);
    }
};

// One value edit, undone and redone through the document by the names of its element, which
// outlive any rebuilding of the rows.
class ValueEdit : public QUndoCommand {
public:
    ValueEdit(ReviewGrid& grid, const PDDXElement& element, std::string before, std::string after)
        : grid_(grid),
          section_(element.Parent() ? element.Parent()->Handle() : std::string()),
          item_(element.Handle()),
          before_(std::move(before)),
          after_(std::move(after))
    {
        setText(QString::fromLatin1(item_.c_str()));
    }
    void undo() override { grid_.ApplyValue(section_, item_, before_); }
    void redo() override { grid_.ApplyValue(section_, item_, after_); }

private:
    ReviewGrid& grid_;
    std::string section_, item_, before_, after_;
};

// The rows (among those shown, when `amongShown`) whose section, item or value holds `needle`,
// upper case, and, when `missingOnly`, that are flagged and empty.
std::vector<int> RowsHolding(const ReviewGridModel& model, bool amongShown, const std::string& needle, bool missingOnly)
{
    const CaseBlindFind find(needle);
    const std::vector<int>& shown = model.ShownRows();
    const int count = amongShown ? static_cast<int>(shown.size()) : model.RowCount();
    std::vector<int> kept;
    const PDDXSection* lastSection = nullptr;
    bool sectionHolds = false;
    for (int i = 0; i < count; ++i) {
        const int row = amongShown ? shown[static_cast<std::size_t>(i)] : i + 1;
        const PDDXElement& element = *model.RowElement(row);
        if (missingOnly && !(element.Flagged() && element.Value().empty())) continue;
        if (element.Parent() != lastSection) {
            lastSection = element.Parent();
            sectionHolds = lastSection && find.In(lastSection->Handle());
        }
        if (sectionHolds || find.In(element.Handle()) || find.In(element.Value())) kept.push_back(row);
    }
    return kept;
}

}  // namespace

int ReviewGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

int ReviewGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ShownCount(); }

QVariant ReviewGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int row = RowAt(index.row());
    if (role == Qt::DisplayRole) return CellText(row, index.column());
    if (role == Qt::BackgroundRole) return IsYellow(row, index.column()) ? kYellow : kWhite;
    if (role == Qt::ForegroundRole) return QColor(Qt::black);
    // A value too long for its column can still be read whole.
    if (role == Qt::ToolTipRole && index.column() == 2) {
        const QString text = CellText(row, 2);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    return {};
}

QVariant ReviewGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 2) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void ReviewGridModel::Reset(std::vector<PDDXElement*> rows, int highestIndex)
{
    beginResetModel();
    rowCount_ = static_cast<int>(rows.size());
    rows_ = std::move(rows);
    highestIndex_ = highestIndex;
    yellow_.assign(rows_.size(), 0);
    shown_.clear();
    filtered_ = false;
    rowOf_.assign(std::bit_ceil(rows_.size() * 2 + 2), 0);
    const std::size_t mask = rowOf_.size() - 1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        std::size_t s = SlotOf(rows_[i]) & mask;
        while (rowOf_[s] != 0) s = (s + 1) & mask;
        rowOf_[s] = static_cast<std::uint32_t>(i + 1);
    }
    endResetModel();
}

std::size_t ReviewGridModel::SlotOf(const PDDXElement* element)
{
    return static_cast<std::size_t>(MixBits(reinterpret_cast<std::uintptr_t>(element)));
}

int ReviewGridModel::RowOf(const PDDXElement& element) const
{
    if (rowOf_.empty()) return 0;
    const std::size_t mask = rowOf_.size() - 1;
    for (std::size_t s = SlotOf(&element) & mask; rowOf_[s] != 0; s = (s + 1) & mask)
        if (rows_[rowOf_[s] - 1] == &element) return static_cast<int>(rowOf_[s]);
    return 0;
}

QString ReviewGridModel::CellText(int row, int column) const
{
    if (row < 1 || row > rowCount_) return {};
    const PDDXElement& element = *rows_[static_cast<std::size_t>(row - 1)];
    switch (column) {
    case 0:
        return element.Parent() ? FromLatin1(element.Parent()->Handle()) : QString();
    case 1:
        return FromLatin1(element.Handle());
    case 2:
        return FromLatin1(element.Value());
    default:
        return {};
    }
}

bool ReviewGridModel::IsYellow(int row, int column) const
{
    if (row < 1 || row > rowCount_ || column < 0 || column > 2) return false;
    return (yellow_[static_cast<std::size_t>(row - 1)] >> column) & 1;
}

void ReviewGridModel::SetYellow(int row, int column, bool yellow)
{
    if (row < 1 || row > rowCount_ || column < 0 || column > 2) return;
    std::uint8_t& bits = yellow_[static_cast<std::size_t>(row - 1)];
    const std::uint8_t before = bits;
    bits = static_cast<std::uint8_t>(yellow ? (bits | (1u << column)) : (bits & ~(1u << column)));
    if (bits != before) {
        const QModelIndex cell = CellIndex(row, column);
        if (cell.isValid()) emit dataChanged(cell, cell, {Qt::BackgroundRole});
    }
}

void ReviewGridModel::TextChanged(int row, int column)
{
    const QModelIndex cell = CellIndex(row, column);
    if (cell.isValid()) emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ReviewGridModel::Show(std::vector<int> rows)
{
    beginResetModel();
    shown_ = std::move(rows);
    filtered_ = true;
    endResetModel();
}

void ReviewGridModel::ShowAll()
{
    if (!filtered_) return;
    beginResetModel();
    shown_.clear();
    shown_.shrink_to_fit();
    filtered_ = false;
    endResetModel();
}

int ReviewGridModel::RowAt(int viewRow) const
{
    if (viewRow < 0 || viewRow >= ShownCount()) return 0;
    return filtered_ ? shown_[static_cast<std::size_t>(viewRow)] : viewRow + 1;
}

QModelIndex ReviewGridModel::CellIndex(int row, int column) const
{
    if (row < 1 || row > rowCount_) return {};
    if (!filtered_) return index(row - 1, column);
    const auto found = std::lower_bound(shown_.begin(), shown_.end(), row);
    if (found == shown_.end() || *found != row) return {};
    return index(static_cast<int>(found - shown_.begin()), column);
}

ReviewGrid::ReviewGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName("ReviewGrid");
    grdItems_ = new QTableView(this);
    grdItems_->setObjectName("grdItems");
    model_ = new ReviewGridModel(this);
    grdItems_->setModel(model_);
    grdItems_->setItemDelegate(new KeepColours(grdItems_));
    grdItems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Whole rows are selected (Shift and Ctrl add to the selection) and copied.
    grdItems_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdItems_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdItems_->verticalHeader()->hide();
    // Fixed row heights keep a million rows cheap to lay out.
    grdItems_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdItems_->verticalHeader()->setDefaultSectionSize(grdItems_->fontMetrics().height() + 6);
    grdItems_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The value column takes whatever Section and Item leave, at every width.
    grdItems_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grdItems_->setWordWrap(false);
    grdItems_->installEventFilter(this);
    grdItems_->viewport()->installEventFilter(this);

    txtGrid_ = new QLineEdit(grdItems_->viewport());
    txtGrid_->setObjectName("txtGrid");
    txtGrid_->hide();
    txtGrid_->installEventFilter(this);

    undo_ = new QUndoStack(this);
    const auto action = [this](const char* name, const QString& text, const QList<QKeySequence>& keys,
                               void (ReviewGrid::*slot)()) {
        auto* created = new QAction(text, this);
        created->setObjectName(name);
        created->setShortcuts(keys);
        created->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(created, &QAction::triggered, this, slot);
        actions_ << created;
        return created;
    };
    action("actCopy", "&Copy", {QKeySequence::Copy}, &ReviewGrid::Copy);
    action("actPaste", "&Paste", {QKeySequence::Paste}, &ReviewGrid::Paste);
    action("actClear", "C&lear Values", {}, &ReviewGrid::ClearValues);
    QAction* undo = action("actUndo", "&Undo", {QKeySequence::Undo}, &ReviewGrid::Undo);
    // Ctrl+Y as well as the desktop's own redo keys, each once: a key bound twice does nothing.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QAction* redo = action("actRedo", "&Redo", redoKeys, &ReviewGrid::Redo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undo_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    addActions(actions_);
    grdItems_->addActions(actions_);
    grdItems_->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(grdItems_, &QTableView::clicked, this, &ReviewGrid::CellClicked);
    connect(grdItems_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                LeaveCell();
                const int row = model_->RowAt(current.row());
                if (current.isValid()) SetCurrent(row, current.column());
                emit CurrentElementChanged(row ? model_->RowElement(row) : nullptr);
            });
    connect(grdItems_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (editing_) PlaceEditor();
    });
    connect(grdItems_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (editing_) PlaceEditor();
    });
    grdItems_->setGeometry(0, 0, width(), height());
}

void ReviewGrid::SetPDDXFile(PDDXFile* document)
{
    if (document) Attach(*document);
    else document_ = nullptr;
}

void ReviewGrid::Attach(PDDXFile& document)
{
    // The rows are about to go, and the open edit with them.
    if (editing_) CloseEditor();
    // Edits of another document cannot be undone here; those of this one still can, by name.
    if (document_ != &document) undo_->clear();
    document_ = &document;
    filterText_.clear();
    missingOnly_ = false;
    const TextMeasure measure(grdItems_->fontMetrics());
    std::array<int, 2> widest{};
    for (std::size_t c = 0; c < 2; ++c) widest[c] = grdItems_->fontMetrics().horizontalAdvance(kCaptions[c]);

    std::vector<PDDXElement*> rows;
    int highestIndex = 150;
    for (PDDXSection& section : document.Sections()) {
        const int sectionWidth = measure.Width(section.Handle());
        widest[0] = std::max(widest[0], sectionWidth);
        for (PDDXElement& element : section.Elements()) {
            rows.push_back(&element);
            const int row = static_cast<int>(rows.size());
            if (row > highestIndex) highestIndex = row + 10;
            widest[1] = measure.Wider(widest[1], element.Handle());
        }
    }
    model_->Reset(std::move(rows), highestIndex);
    // Each row's value cell in turn became the current cell and got its colour.
    for (int row = 1; row <= model_->RowCount(); ++row) {
        const PDDXElement& element = *model_->RowElement(row);
        model_->SetYellow(row, 2, element.Flagged() && element.Value().empty());
    }
    currentRow_ = model_->RowCount();
    currentColumn_ = 2;
    const int margin = grdItems_->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    for (std::size_t c = 0; c < 2; ++c) measured_[c] = widest[c] + margin;
    FitColumns();
}

void ReviewGrid::FitColumns()
{
    // Section and Item as wide as their longest text, but each at most 30 % of the grid, so that
    // the value column, which stretches into the rest, always keeps 40 % or more.
    const int cap = grdItems_->viewport()->width() * 3 / 10;
    const int least = grdItems_->fontMetrics().averageCharWidth() * 6;
    for (std::size_t c = 0; c < 2; ++c)
        grdItems_->setColumnWidth(static_cast<int>(c), std::min(measured_[c], std::max(cap, least)));
}

void ReviewGrid::ElementChange(PDDXElement& element)
{
    const int row = model_->RowOf(element);
    if (row == 0) return;
    model_->TextChanged(row, 2);
    // Yellow says "this still needs a value": exactly while a flagged value is empty, however it
    // got there (an edit, an undo, a merge).
    model_->SetYellow(row, 2, element.Flagged() && element.Value().empty());
}

void ReviewGrid::ElementCheckFlags()
{
    for (int row = 1; row <= model_->RowCount(); ++row) {
        PDDXElement& element = *model_->RowElement(row);
        const PDDXSection* section = element.Parent();
        for (const SectionAndKey& flagged : FlaggedElements())
            if (section && section->Handle() == flagged.Section && element.Handle() == flagged.Key)
                element.SetFlagged(true);
        SetCurrent(row, 2);
        model_->SetYellow(row, 2, element.Flagged() && element.Value().empty());
    }
}

void ReviewGrid::SetCurrent(int row, int column)
{
    currentRow_ = row;
    currentColumn_ = column;
}

void ReviewGrid::CellClicked(const QModelIndex& index)
{
    if (!index.isValid()) return;
    const int row = model_->RowAt(index.row());
    SetCurrent(row, index.column());
    // Shift and Ctrl clicks choose rows; they open no editor.
    if (currentColumn_ != 2 || (QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) return;
    StartEdit(row, model_->CellText(row, 2), true);
}

void ReviewGrid::StartEdit(int row, const QString& text, bool selectAll)
{
    const QModelIndex cell = model_->CellIndex(row, 2);
    if (!cell.isValid()) return;
    if (grdItems_->currentIndex() != cell) grdItems_->setCurrentIndex(cell);
    grdItems_->scrollTo(cell);
    SetCurrent(row, 2);
    editRow_ = row;
    txtGrid_->setText(text);
    PlaceEditor();
    txtGrid_->show();
    txtGrid_->setFocus();
    if (selectAll) txtGrid_->selectAll();
    else txtGrid_->end(false);
    editing_ = true;
}

void ReviewGrid::PlaceEditor()
{
    const QModelIndex cell = model_->CellIndex(editRow_, 2);
    if (cell.isValid()) txtGrid_->setGeometry(grdItems_->visualRect(cell));
}

void ReviewGrid::LeaveCell()
{
    if (editing_) Commit();
    editing_ = false;
}

void ReviewGrid::Commit()
{
    if (committing_) return;
    committing_ = true;
    const QString text = txtGrid_->text();
    CloseEditor();
    const int row = editRow_;
    if (row >= 1 && row <= model_->RowCount() && text != model_->CellText(row, 2)) {
        PDDXElement& element = *model_->RowElement(row);
        // Pushing the edit sets the value; the document's notification brings the new text and
        // the colour back to the cell.
        undo_->push(new ValueEdit(*this, element, std::string(element.Value()), Latin1Bytes(text)));
    }
    committing_ = false;
}

void ReviewGrid::ApplyValue(const std::string& section, const std::string& item, const std::string& value)
{
    if (!document_) return;
    PDDXElement* element = nullptr;
    try {
        element = &document_->Element(section, item);
    } catch (const std::out_of_range&) {
        return;  // no longer in the document
    }
    const int row = model_->RowOf(*element);
    // An undo or redo shows the rows it changes, chosen once the whole step is done.
    if (stepping_ && row) steppedRows_.push_back(row);
    else if (!committing_ && !inMacro_ && row) GoToRow(row);
    const bool outer = applying_;
    applying_ = true;
    element->SetValue(value);
    applying_ = outer;
}

void ReviewGrid::LeaveGrid(bool forward) { focusNextPrevChild(forward); }

void ReviewGrid::FinishEdit()
{
    if (editing_) Commit();
}

std::vector<int> ReviewGrid::SelectedRows() const
{
    std::vector<int> viewRows;
    for (const QItemSelectionRange& range : grdItems_->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) viewRows.push_back(r);
    if (viewRows.empty() && grdItems_->currentIndex().isValid()) viewRows.push_back(grdItems_->currentIndex().row());
    std::sort(viewRows.begin(), viewRows.end());
    viewRows.erase(std::unique(viewRows.begin(), viewRows.end()), viewRows.end());
    std::vector<int> rows;
    for (const int viewRow : viewRows)
        if (const int row = model_->RowAt(viewRow)) rows.push_back(row);
    return rows;
}

int ReviewGrid::SetValues(const std::vector<std::pair<PDDXElement*, std::string>>& values, const QString& name)
{
    std::vector<std::pair<PDDXElement*, std::string>> changed;
    for (const auto& [element, value] : values)
        if (element->Value() != value) changed.emplace_back(element, value);
    if (changed.empty()) return 0;
    // Many values, one step: a single Ctrl+Z takes the whole paste back.
    inMacro_ = true;
    undo_->beginMacro(name);
    for (const auto& [element, value] : changed)
        undo_->push(new ValueEdit(*this, *element, std::string(element->Value()), value));
    undo_->endMacro();
    inMacro_ = false;
    return static_cast<int>(changed.size());
}

int ReviewGrid::PasteText(const QString& text)
{
    if (!document_) return 0;
    QString block = text;
    while (block.endsWith('\n') || block.endsWith('\r')) block.chop(1);
    std::vector<std::pair<PDDXElement*, std::string>> values;
    if (!block.contains('\t') && !block.contains('\n')) {
        // One text: every selected value cell takes it.
        for (const int row : SelectedRows()) values.emplace_back(model_->RowElement(row), Latin1Bytes(block));
    } else {
        // Rows as Copy writes them: each value goes to the element its section and item name.
        for (QString line : block.split('\n')) {
            if (line.endsWith('\r')) line.chop(1);
            const QStringList fields = line.split('\t');
            if (fields.size() != 3) continue;
            try {
                values.emplace_back(&document_->Element(Latin1Bytes(fields[0]), Latin1Bytes(fields[1])),
                                    Latin1Bytes(fields[2]));
            } catch (const std::out_of_range&) {
                // A row of another document that this one does not have: nothing to fill.
            }
        }
    }
    return SetValues(values, "Paste");
}

void ReviewGrid::Paste()
{
    if (editing_) {
        txtGrid_->paste();
        return;
    }
    PasteText(QApplication::clipboard()->text());
}

void ReviewGrid::ClearValues()
{
    if (editing_) return;
    std::vector<std::pair<PDDXElement*, std::string>> values;
    for (const int row : SelectedRows()) values.emplace_back(model_->RowElement(row), std::string());
    SetValues(values, "Clear");
}

void ReviewGrid::Undo()
{
    if (editing_) Commit();
    Step(&QUndoStack::undo);
}

void ReviewGrid::Redo()
{
    if (editing_) Commit();
    Step(&QUndoStack::redo);
}

// The rows an undo or redo changed become the selection, the first of them current and the anchor
// from which Shift extends it, as if the user had picked them.
void ReviewGrid::Step(void (QUndoStack::*step)())
{
    stepping_ = true;
    steppedRows_.clear();
    (undo_->*step)();
    stepping_ = false;
    std::sort(steppedRows_.begin(), steppedRows_.end());
    steppedRows_.erase(std::unique(steppedRows_.begin(), steppedRows_.end()), steppedRows_.end());
    GoToRows(steppedRows_);
}

void ReviewGrid::CloseEditor()
{
    editing_ = false;
    // Hiding the widget that has the focus passes the focus on as Tab does, and the table would
    // take that as a move to the next cell; so the table gets the focus back first. A focus that
    // has already gone elsewhere stays there.
    if (txtGrid_->window()->focusWidget() == txtGrid_) grdItems_->setFocus(Qt::OtherFocusReason);
    txtGrid_->hide();
}

QString ReviewGrid::SelectedText() const
{
    QString text;
    for (const int row : SelectedRows())
        text += CellText(row, 0) + '\t' + CellText(row, 1) + '\t' + CellText(row, 2) + '\n';
    return text;
}

void ReviewGrid::Copy()
{
    if (editing_) {
        txtGrid_->copy();
        return;
    }
    QApplication::clipboard()->setText(SelectedText());
}

void ReviewGrid::SetFilter(const QString& text, bool missingOnly)
{
    if (editing_) Commit();
    const std::string needle = UpperCase(Latin1Bytes(text));
    const int current = currentRow_;
    if (needle.empty() && !missingOnly) {
        filterText_.clear();
        missingOnly_ = false;
        if (!model_->Filtered()) return;
        model_->ShowAll();
    } else {
        // A longer text, or the toggle newly set, can only keep rows already shown.
        const bool narrowing = model_->Filtered() && needle.find(filterText_) != std::string::npos &&
                               (missingOnly || !missingOnly_);
        std::vector<int> kept = RowsHolding(*model_, narrowing, needle, missingOnly);
        filterText_ = needle;
        missingOnly_ = missingOnly;
        model_->Show(std::move(kept));
    }
    // The row that was current stays current when it is shown, else the first row shown becomes
    // current, in sight, so that the plots follow what the filter shows.
    QModelIndex cell = model_->CellIndex(current, currentColumn_);
    if (!cell.isValid()) cell = model_->index(0, std::clamp(currentColumn_, 0, 2));
    if (!cell.isValid()) return;
    grdItems_->setCurrentIndex(cell);
    grdItems_->scrollTo(cell);
}

int ReviewGrid::TestLocationRow(int number) const
{
    if (!document_) return 0;
    try {
        const PDDXSection& section =
            document_->Section(std::string(pddx::TestLocation::kPrefix) + std::to_string(number));
        return section.Elements().Count() ? model_->RowOf(section.Elements().Item(1)) : 0;
    } catch (const std::out_of_range&) {
        return 0;
    }
}

bool ReviewGrid::GoToRows(const std::vector<int>& rows)
{
    const QModelIndex cell = rows.empty() ? QModelIndex()
                                          : model_->CellIndex(rows.front(), std::clamp(currentColumn_, 0, 2));
    if (!cell.isValid()) return false;
    // The view's own current index is the anchor Shift extends from; the selection is then set
    // alone, as the view would toggle the row while Ctrl is down (Ctrl+Z, Ctrl+Y).
    grdItems_->setCurrentIndex(cell);
    QItemSelectionModel& selection = *grdItems_->selectionModel();
    selection.setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (const QModelIndex other = model_->CellIndex(rows[i], 0); other.isValid())
            selection.select(other, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grdItems_->scrollTo(cell, QAbstractItemView::PositionAtTop);
    return true;
}

bool ReviewGrid::EditorKey(const QKeyEvent& key)
{
    // The keypad's separator types its character (the decimal separator on many layouts).
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (enter || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) {
        if (!editing_) return true;
        const int row = editRow_;
        Commit();
        // Enter goes on to the next row, as in a spreadsheet.
        if (enter) {
            const QModelIndex here = model_->CellIndex(row, 2);
            const QModelIndex next = here.sibling(here.row() + 1, 2);
            if (next.isValid()) grdItems_->setCurrentIndex(next);
        }
        return true;
    }
    if (key.key() == Qt::Key_Escape) {
        CloseEditor();
        return true;
    }
    return false;
}

bool ReviewGrid::TableKey(const QKeyEvent& key)
{
    int row = model_->RowAt(grdItems_->currentIndex().row());
    if (!row) row = model_->RowAt(0);
    if (!row) return false;
    if (key.key() == Qt::Key_Delete && !(key.modifiers() & ~Qt::KeypadModifier)) {
        ClearValues();
        return true;
    }
    // F2 edits the value as it stands; typing replaces it with what is typed.
    if (key.key() == Qt::Key_F2 && !key.modifiers()) {
        StartEdit(row, model_->CellText(row, 2), false);
        return true;
    }
    const QString typed = key.text();
    if (!typed.isEmpty() && typed.at(0).isPrint() &&
        !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        StartEdit(row, typed, false);
        return true;
    }
    return false;
}

bool ReviewGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (watched == txtGrid_ && EditorKey(key)) return true;
        if (watched == grdItems_ && TableKey(key)) return true;
    } else if (watched == txtGrid_ && event->type() == QEvent::FocusOut) {
        if (editing_ && !committing_) Commit();
    } else if (watched == grdItems_->viewport() && event->type() == QEvent::Resize) {
        // A scroll bar coming or going changes the viewport, not the grid.
        FitColumns();
    }
    return QWidget::eventFilter(watched, event);
}

void ReviewGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int newWidth = width() - TwipsToPixels(this, 50);
    // A window narrower than the margin (minimised, say) leaves the grid as it was.
    if (newWidth <= 0) return;
    grdItems_->setGeometry(0, 0, newWidth, height());
    FitColumns();
    if (editing_) PlaceEditor();
}

int ReviewGrid::RowOf(const QString& section, const QString& item) const
{
    if (!document_) return 0;
    const PDDXSection* found = document_->Sections().Find(Latin1Bytes(section));
    const PDDXElement* element = found ? found->Elements().Find(Latin1Bytes(item)) : nullptr;
    return element ? model_->RowOf(*element) : 0;
}

}  // namespace vantrel
