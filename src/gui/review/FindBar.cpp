#include "gui/review/FindBar.h"

#include <limits>

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolButton>

#include "gui/review/ReviewGrid.h"

namespace vantrel {

FindBar::FindBar(ReviewGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid)
{
    setObjectName("fraFind");
    auto* findLabel = new QLabel("F&ind:", this);
    txtFind_ = new QLineEdit(this);
    txtFind_->setObjectName("txtFind");
    txtFind_->setPlaceholderText("section, item or value");
    txtFind_->setClearButtonEnabled(true);
    findLabel->setBuddy(txtFind_);
    chkMissing_ = new QCheckBox("&Missing data only", this);
    chkMissing_->setObjectName("chkMissing");
    chkMissing_->setToolTip("Only the highlighted rows: flagged and without a value");
    auto* locationLabel = new QLabel("&Go to test location:", this);
    txtTestLocation_ = new QLineEdit(this);
    txtTestLocation_->setObjectName("txtTestLocation");
    txtTestLocation_->setValidator(new QIntValidator(1, std::numeric_limits<int>::max(), txtTestLocation_));
    txtTestLocation_->setMaximumWidth(txtTestLocation_->fontMetrics().horizontalAdvance("0000000"));
    locationLabel->setBuddy(txtTestLocation_);
    lblFound_ = new QLabel(this);
    lblFound_->setObjectName("lblFound");
    auto* close = new QToolButton(this);
    close->setObjectName("cmdCloseFind");
    close->setText(QString(QChar(0x00D7)));
    close->setToolTip("Close the find bar and show every row (Esc)");
    close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(findLabel);
    layout->addWidget(txtFind_, 1);
    layout->addWidget(chkMissing_);
    layout->addSpacing(8);
    layout->addWidget(locationLabel);
    layout->addWidget(txtTestLocation_);
    layout->addWidget(lblFound_);
    layout->addWidget(close);

    connect(txtFind_, &QLineEdit::textChanged, this, &FindBar::Apply);
    connect(chkMissing_, &QCheckBox::toggled, this, &FindBar::Apply);
    // Enter takes the user to the rows found, the first of them current.
    connect(txtFind_, &QLineEdit::returnPressed, this, [this] { grid_.Table()->setFocus(); });
    connect(txtTestLocation_, &QLineEdit::returnPressed, this, &FindBar::GoToTestLocation);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    auto* escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QAction::triggered, this, &FindBar::Close);
    addAction(escape);
    hide();
}

void FindBar::Open()
{
    show();
    txtFind_->setFocus();
    txtFind_->selectAll();
    Apply();
}

void FindBar::Close()
{
    hide();
    grid_.SetFilter({}, false);
    grid_.Table()->setFocus();
}

void FindBar::Apply()
{
    grid_.SetFilter(txtFind_->text(), chkMissing_->isChecked());
    lblFound_->setText(Found());
}

bool FindBar::GoToRows(const std::vector<int>& rows, bool showHidden)
{
    if (rows.empty() || rows.front() == 0) return false;
    if (grid_.GoToRows(rows)) return true;
    if (!showHidden) return false;
    // Every row is shown again, as going to a test location does.
    {
        const QSignalBlocker quietText(txtFind_);
        const QSignalBlocker quietMissing(chkMissing_);
        txtFind_->clear();
        chkMissing_->setChecked(false);
    }
    Apply();
    return grid_.GoToRows(rows);
}

bool FindBar::GoToElements(const std::vector<GridElement>& elements, bool showHidden)
{
    std::vector<int> rows;
    rows.reserve(elements.size());
    for (const GridElement& element : elements)
        if (const int row = grid_.RowOf(element.Section, element.Key)) rows.push_back(row);
    return GoToRows(rows, showHidden);
}

QString FindBar::Found() const
{
    return QString::number(grid_.ShownRowCount()) + " of " + QString::number(grid_.RowCount()) + " rows";
}

void FindBar::GoToTestLocation()
{
    const int number = txtTestLocation_->text().toInt();
    const int row = grid_.TestLocationRow(number);
    if (row == 0) {
        lblFound_->setText("No Test Location " + txtTestLocation_->text());
        return;
    }
    // A location the filter hides is shown by showing every row.
    if (!grid_.GoToRow(row)) {
        const QSignalBlocker quiet(chkMissing_);
        txtFind_->blockSignals(true);
        txtFind_->clear();
        txtFind_->blockSignals(false);
        chkMissing_->setChecked(false);
        Apply();
        grid_.GoToRow(row);
    }
    lblFound_->setText(Found());
    grid_.Table()->setFocus();
}

}  // namespace vantrel
