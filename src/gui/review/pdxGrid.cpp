#include "gui/review/pdxGrid.h"

#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "base/Latin1.h"
#include "core/Check.h"
#include "gui/Twips.h"

namespace vantrel {
namespace {

const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);
const std::array<const char*, 3> kCaptions = {"Section ", "Item ", "Value "};

QString FromLatin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

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

}  // namespace

int PdxGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rowCount_; }
int PdxGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant PdxGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const int row = index.row() + 1;
    if (role == Qt::DisplayRole) return CellText(row, index.column());
    if (role == Qt::BackgroundRole) return IsYellow(row, index.column()) ? kYellow : kWhite;
    if (role == Qt::ForegroundRole) return QColor(Qt::black);
    return {};
}

QVariant PdxGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 2) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kCaptions[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void PdxGridModel::Reset(std::vector<PDDXElement*> rows, int highestIndex)
{
    beginResetModel();
    rowCount_ = static_cast<int>(rows.size());
    rows_ = std::move(rows);
    highestIndex_ = highestIndex;
    yellow_.assign(rows_.size(), 0);
    rowOf_.assign(std::bit_ceil(rows_.size() * 2 + 2), 0);
    const std::size_t mask = rowOf_.size() - 1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        std::size_t s = SlotOf(rows_[i]) & mask;
        while (rowOf_[s] != 0) s = (s + 1) & mask;
        rowOf_[s] = static_cast<std::uint32_t>(i + 1);
    }
    endResetModel();
}

std::size_t PdxGridModel::SlotOf(const PDDXElement* element)
{
    return static_cast<std::size_t>(MixBits(reinterpret_cast<std::uintptr_t>(element)));
}

int PdxGridModel::RowOf(const PDDXElement& element) const
{
    if (rowOf_.empty()) return 0;
    const std::size_t mask = rowOf_.size() - 1;
    for (std::size_t s = SlotOf(&element) & mask; rowOf_[s] != 0; s = (s + 1) & mask)
        if (rows_[rowOf_[s] - 1] == &element) return static_cast<int>(rowOf_[s]);
    return 0;
}

QString PdxGridModel::CellText(int row, int column) const
{
    if (row < 1 || row > rowCount_) return {};
    const PDDXElement& element = *rows_[static_cast<std::size_t>(row - 1)];
    switch (column) {
    case 0: return element.Parent() ? FromLatin1(element.Parent()->Handle()) : QString();
    case 1: return FromLatin1(element.Handle());
    case 2: return FromLatin1(element.Value());
    default: return {};
    }
}

bool PdxGridModel::IsYellow(int row, int column) const
{
    if (row < 1 || row > rowCount_ || column < 0 || column > 2) return false;
    return (yellow_[static_cast<std::size_t>(row - 1)] >> column) & 1;
}

void PdxGridModel::SetYellow(int row, int column, bool yellow)
{
    if (row < 1 || row > rowCount_ || column < 0 || column > 2) return;
    std::uint8_t& bits = yellow_[static_cast<std::size_t>(row - 1)];
    const std::uint8_t before = bits;
    bits = static_cast<std::uint8_t>(yellow ? (bits | (1u << column)) : (bits & ~(1u << column)));
    if (bits != before) {
        const QModelIndex cell = index(row - 1, column);
        emit dataChanged(cell, cell, {Qt::BackgroundRole});
    }
}

void PdxGridModel::TextChanged(int row, int column)
{
    if (row < 1 || row > rowCount_) return;
    const QModelIndex cell = index(row - 1, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

pdxGrid::pdxGrid(QWidget* parent) : QWidget(parent)
{
    setObjectName("pdxGrid");
    grdItems_ = new QTableView(this);
    grdItems_->setObjectName("grdItems");
    model_ = new PdxGridModel(this);
    grdItems_->setModel(model_);
    grdItems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdItems_->setSelectionMode(QAbstractItemView::NoSelection);
    grdItems_->verticalHeader()->hide();
    // Fixed row heights keep a million rows cheap to lay out.
    grdItems_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdItems_->verticalHeader()->setDefaultSectionSize(grdItems_->fontMetrics().height() + 6);
    grdItems_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grdItems_->horizontalHeader()->setStretchLastSection(false);
    grdItems_->setWordWrap(false);

    txtGrid_ = new QLineEdit(grdItems_->viewport());
    txtGrid_->setObjectName("txtGrid");
    txtGrid_->hide();
    txtGrid_->installEventFilter(this);

    connect(grdItems_, &QTableView::clicked, this, &pdxGrid::CellClicked);
    connect(grdItems_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                LeaveCell();
                if (current.isValid()) SetCurrent(current.row() + 1, current.column());
            });
    connect(grdItems_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (editing_) PlaceEditor();
    });
    connect(grdItems_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (editing_) PlaceEditor();
    });

    // The value column takes what the first two leave, less a margin.
    grdItems_->setGeometry(0, 0, width(), height());
    grdItems_->setColumnWidth(2, std::max(20, grdItems_->width() - grdItems_->columnWidth(0) -
                                                  grdItems_->columnWidth(1) - TwipsToPixels(this, 200)));
}

void pdxGrid::SetPDDXFile(PDDXFile* document)
{
    document_ = document;
    if (document_) Attach(*document_);
}

void pdxGrid::Attach(PDDXFile& document)
{
    // The rows are about to go, and the open edit with them.
    if (editing_) CloseEditor();
    document_ = &document;
    const TextMeasure measure(grdItems_->fontMetrics());
    std::array<int, 3> widest{};
    for (std::size_t c = 0; c < 3; ++c) widest[c] = grdItems_->fontMetrics().horizontalAdvance(kCaptions[c]);

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
            widest[2] = measure.Wider(widest[2], element.Value());
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
    for (int c = 0; c < 3; ++c) grdItems_->setColumnWidth(c, widest[static_cast<std::size_t>(c)] + margin);
}

void pdxGrid::ElementChange(PDDXElement& element)
{
    const int row = model_->RowOf(element);
    if (row == 0) return;
    model_->TextChanged(row, 2);
    // The colour follows the flag alone and goes to the cell just edited or, for a change from
    // elsewhere, to the current cell.
    if (committing_)
        model_->SetYellow(editRow_, 2, element.Flagged());
    else
        model_->SetYellow(currentRow_, currentColumn_, element.Flagged());
}

void pdxGrid::ElementCheckFlags()
{
    for (int row = 1; row <= model_->RowCount(); ++row) {
        PDDXElement& element = *model_->RowElement(row);
        const PDDXSection* section = element.Parent();
        for (const SectionAndKey& flagged : FlaggedElements())
            if (section && section->Handle() == flagged.Section && element.Handle() == flagged.Key) element.SetFlagged(true);
        SetCurrent(row, 2);
        model_->SetYellow(row, 2, element.Flagged() && element.Value().empty());
    }
}

void pdxGrid::SetCurrent(int row, int column)
{
    currentRow_ = row;
    currentColumn_ = column;
}

void pdxGrid::CellClicked(const QModelIndex& index)
{
    if (!index.isValid()) return;
    SetCurrent(index.row() + 1, index.column());
    if (currentColumn_ != 2) return;
    editRow_ = currentRow_;
    txtGrid_->setText(model_->CellText(editRow_, 2));
    PlaceEditor();
    txtGrid_->show();
    txtGrid_->setFocus();
    txtGrid_->selectAll();
    editing_ = true;
}

void pdxGrid::PlaceEditor()
{
    if (editRow_ < 1) return;
    txtGrid_->setGeometry(grdItems_->visualRect(model_->index(editRow_ - 1, 2)));
}

void pdxGrid::LeaveCell()
{
    if (editing_) Commit();
    editing_ = false;
}

void pdxGrid::Commit()
{
    if (committing_) return;
    committing_ = true;
    const QString text = txtGrid_->text();
    CloseEditor();
    const int row = editRow_;
    if (row >= 1 && row <= model_->RowCount() && text != model_->CellText(row, 2)) {
        model_->SetYellow(row, 2, true);
        const QByteArray latin1 = text.toLatin1();
        // The document's notification brings the new text and the flag's colour back to the cell.
        model_->RowElement(row)->SetValue(std::string(latin1.constData(), static_cast<std::size_t>(latin1.size())));
        model_->TextChanged(row, 2);
    }
    committing_ = false;
}

void pdxGrid::CloseEditor()
{
    editing_ = false;
    // Hiding the widget that has the focus passes the focus on as Tab does, and the table would
    // take that as a move to the next cell; so the table gets the focus back first. A focus that
    // has already gone elsewhere stays there.
    if (txtGrid_->window()->focusWidget() == txtGrid_) grdItems_->setFocus(Qt::OtherFocusReason);
    txtGrid_->hide();
}

bool pdxGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtGrid_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool separator = key->key() == Qt::Key_Comma && (key->modifiers() & Qt::KeypadModifier);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab ||
                separator) {
                if (editing_) Commit();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                CloseEditor();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (editing_ && !committing_) Commit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void pdxGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int newWidth = width() - TwipsToPixels(this, 50);
    const int oldWidth = grdItems_->width();
    // A window narrower than the margin (minimised, say) leaves the grid as it was.
    if (newWidth <= 0) return;
    // The first layout keeps the measured widths; later ones scale them with the window.
    const double ratio = laidOut_ && oldWidth > 0 ? static_cast<double>(newWidth) / oldWidth : 1.0;
    laidOut_ = true;
    grdItems_->setGeometry(0, 0, newWidth, height());
    const int first = static_cast<int>(std::lround(grdItems_->columnWidth(0) * ratio));
    const int second = static_cast<int>(std::lround(grdItems_->columnWidth(1) * ratio));
    grdItems_->setColumnWidth(0, first);
    grdItems_->setColumnWidth(1, second);
    grdItems_->setColumnWidth(2, std::max(20, newWidth - first - second - TwipsToPixels(this, 340)));
    if (editing_) PlaceEditor();
}

}  // namespace vantrel
