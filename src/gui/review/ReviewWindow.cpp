#include "gui/review/ReviewWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QUndoStack>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <exception>

#include "core/Conversion.h"
#include "core/Inputs.h"
#include "core/OutputChecks.h"
#include "core/OutputNames.h"
#include "gui/NativeName.h"
#include "gui/Prompts.h"
#include "base/NumberText.h"
#include "gui/Twips.h"
#include "gui/review/CheckList.h"
#include "gui/review/FindBar.h"
#include "gui/review/FindingsPanel.h"
#include "gui/review/PlotPanel.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {
namespace {

const QString kSaveFilter = "PDDX Data Files|*.DDX";

// Plots live in test locations; the device's offsets and the units label them.
bool ChangesPlots(const PDDXElement& element, const std::string& plotted)
{
    const PDDXSection* section = element.Parent();
    return section &&
           (section->Handle() == plotted || section->Handle() == pddx::DeviceConfiguration::kSection ||
            section->Handle() == pddx::Units::kSection || section->Handle() == pddx::DeflectionData::kSection);
}

}  // namespace

ReviewWindow::ReviewWindow(Prompts& prompts, QWidget* parent) : QWidget(parent), prompts_(prompts)
{
    setObjectName("ReviewWindow");
    setWindowTitle("Review");

    auto* sourceLabel = new QLabel("Source Files:", this);
    sourceLabel->setObjectName("Label1");
    txtSource_ = new QPlainTextEdit(this);
    txtSource_->setObjectName("txtSource");
    txtSource_->setReadOnly(true);
    auto* hint = new QLabel("Highlighted fields need input or validation by user.", this);
    hint->setObjectName("Label2");
    lblStatus_ = new QLabel("Data Not Saved", this);
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setStyleSheet("color: red; font-weight: bold;");
    lblStatus_->hide();
    // Alt+W opens the main window's Window menu.
    cmdWrite_ = new QPushButton("W&rite PDDX File", this);
    cmdWrite_->setObjectName("cmdWrite");
    cmdAddSection_ = new QPushButton("Add &Tests", this);
    cmdAddSection_->setObjectName("cmdAddSection");
    cmdAddSection_->hide();
    cmdAppend_ = new QPushButton("Merge An&other File", this);
    cmdAppend_->setObjectName("cmdAppend");
    cmdAppend_->hide();
    Command1_ = new QPushButton("Command1", this);
    Command1_->setObjectName("Command1");
    Command1_->hide();
    body_ = new QWidget(this);
    body_->setObjectName("fraGrid");
    splitter_ = new QSplitter(Qt::Horizontal, body_);
    pdxDataGrid_ = new ReviewGrid(splitter_);
    pdxDataGrid_->setObjectName("pdxDataGrid");
    // Whatever shows beside it, the grid keeps room for its three columns to read; the panels
    // beside it fold away first.
    pdxDataGrid_->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    plots_ = new PlotPanel(splitter_);
    plots_->SetPrompts(prompts_);
    plots_->hide();
    findBar_ = new FindBar(*pdxDataGrid_, body_);
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    bodyLayout->addWidget(findBar_);
    bodyLayout->addWidget(splitter_, 1);
    // Between the grid and the plots. It is there from the start, so that a finding coming late
    // in a large document's check moves nothing under the user; the grid takes what the window
    // gains, and the grid alone keeps its height.
    findings_ = new FindingsPanel(*pdxDataGrid_, *findBar_);
    splitter_->insertWidget(1, findings_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    // On a small screen the panels fold away before the grid gives up its least width.
    splitter_->setCollapsible(0, false);
    checks_ = new CheckList(*pdxDataGrid_, *findings_, this);
    // In the band below the grid.
    cmdFind_ = new QPushButton("Fi&nd...", this);
    cmdFind_->setObjectName("cmdFind");
    cmdFind_->setToolTip("Show only the rows holding a text, or the missing data (Ctrl+F)");
    cmdPlots_ = new QPushButton("&Plots", this);
    cmdPlots_->setObjectName("cmdPlots");
    cmdPlots_->setCheckable(true);
    // Alt+P shows or hides the plots and leaves the focus in the grid, which the plots follow.
    cmdPlots_->setFocusPolicy(Qt::NoFocus);
    cmdPlots_->setToolTip("Show the deflection basins and time histories of the current test location");
    cmdFindings_ = new QPushButton("Findings", this);
    cmdFindings_->setObjectName("cmdFindings");
    cmdFindings_->setCheckable(true);
    cmdFindings_->setChecked(true);
    cmdFindings_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Q));
    cmdFindings_->setFocusPolicy(Qt::NoFocus);
    cmdFindings_->setToolTip("Show or hide the findings: what the reading skipped, what the calibration needs and "
                             "what its rules find (Alt+Q)");

    // Fixed places above the grid; only the grid follows the window's size.
    const int line = fontMetrics().height();
    sourceLabel->setGeometry(8, 8, 120, line + 4);
    txtSource_->setGeometry(8, 12 + line, 360, line * 3 + 12);
    cmdWrite_->setGeometry(380, 8, 150, line + 12);
    cmdAddSection_->setGeometry(380, 16 + line + 12, 150, line + 12);
    cmdAppend_->setGeometry(540, 8, 150, line + 12);
    Command1_->setGeometry(540, 16 + line + 12, 150, line + 12);
    hint->setGeometry(8, 24 + line * 4 + 12, 360, line + 4);
    lblStatus_->setGeometry(380, 24 + line * 4 + 12, 200, line + 4);
    body_->setGeometry(0, 32 + line * 5 + 16, 700, 300);
    // Every control shows whole down to this size, and the grid keeps a few rows.
    const int band = TwipsToPixels(this, 450, true);
    QRect controls;
    for (const QWidget* control :
         std::initializer_list<const QWidget*>{sourceLabel, txtSource_, cmdWrite_, cmdAddSection_, hint, lblStatus_})
        controls |= control->geometry();
    const int buttonHeight = std::min(band - 4, line + 10);
    cmdFind_->setGeometry(8, 0, cmdFind_->sizeHint().width(), buttonHeight);
    cmdPlots_->setGeometry(16 + cmdFind_->width(), 0, cmdPlots_->sizeHint().width(), buttonHeight);
    cmdFindings_->setGeometry(cmdPlots_->geometry().right() + 9, 0, cmdFindings_->sizeHint().width(), buttonHeight);
    baseMinimum_ =
        QSize(std::max(controls.right(), cmdFindings_->geometry().right()) + 9, body_->y() + line * 8 + band);
    setMinimumSize(baseMinimum_);
    resize(sizeHint());
    // The grid's place asks for more room when it shows more (the plots, the find bar, the lists).
    for (QWidget* part : std::initializer_list<QWidget*>{findBar_, plots_, findings_}) part->installEventFilter(this);

    auto* find = new QAction("Find", this);
    find->setObjectName("actFind");
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QAction::triggered, findBar_, &FindBar::Open);
    addAction(find);
    pdxDataGrid_->Table()->addAction(find);
    // Copy, undo and redo work wherever the focus is in the window.
    addActions(pdxDataGrid_->EditActions());
    connect(cmdFind_, &QPushButton::clicked, findBar_, &FindBar::Open);
    connect(cmdPlots_, &QPushButton::toggled, this, &ReviewWindow::ShowPlots);
    connect(plots_, &PlotPanel::Changed, this, &ReviewWindow::RefreshPlotsLater);
    connect(cmdFindings_, &QPushButton::toggled, this, &ReviewWindow::ShowFindings);
    connect(pdxDataGrid_, &ReviewGrid::CurrentElementChanged, this, [this](PDDXElement* element) {
        if (document_ && plots_->isVisible()) plots_->Follow(*document_, element);
    });

    // The keyboard goes from the grid to the commands below it, then to those above.
    QWidget::setTabOrder(pdxDataGrid_->Table(), cmdFind_);
    QWidget::setTabOrder(cmdFind_, findings_->List());
    QWidget::setTabOrder(findings_->List(), cmdWrite_);
    QWidget::setTabOrder(cmdWrite_, cmdAddSection_);
    QWidget::setTabOrder(cmdAddSection_, cmdAppend_);
    QWidget::setTabOrder(cmdAppend_, txtSource_);
    setFocusProxy(pdxDataGrid_->Table());
    // Undoing back to what was written makes the document saved again.
    connect(pdxDataGrid_->UndoStack(), &QUndoStack::cleanChanged, this, [this] { ShowUnsaved(); });

    connect(cmdWrite_, &QPushButton::clicked, this, [this] { Write(); });
    connect(cmdAddSection_, &QPushButton::clicked, this, [this] { AddTests(); });
    connect(cmdAppend_, &QPushButton::clicked, this, [this] {
        if (OnMerge) OnMerge(this);
    });
    connect(Command1_, &QPushButton::clicked, this, [this] { pdxDataGrid_->ElementCheckFlags(); });
}

void ReviewWindow::AddWarnings(const std::vector<std::string>& lines) { findings_->AddReadingWarnings(lines); }

ReviewWindow::~ReviewWindow()
{
    // The grid's undo stack goes after this window and says so on its way out.
    disconnect(pdxDataGrid_->UndoStack(), nullptr, this, nullptr);
    if (document_ && subscription_) document_->UnsubscribeElementChange(subscription_);
}

void ReviewWindow::SetPDDXDataSet(std::shared_ptr<PDDXFile> document)
{
    if (document_ && subscription_) document_->UnsubscribeElementChange(subscription_);
    subscription_ = 0;
    document_ = std::move(document);
    if (document_) {
        subscription_ = document_->SubscribeElementChange([this](PDDXElement& element) { ElementChanged(element); });
        pdxDataGrid_->Attach(*document_);
        checks_->RefreshLater();
        if (findBar_->isVisible()) findBar_->Apply();
        RefreshPlotsLater();
    }
    SetDataChanged(true);
}

void ReviewWindow::ElementChanged(PDDXElement& element)
{
    pdxDataGrid_->ElementChange(element);
    // The grid's own edits are on its undo stack, whose clean state tells whether they are saved.
    if (!pdxDataGrid_->ApplyingEdit()) changedBesideUndo_ = true;
    ShowUnsaved();
    if (ChangesPlots(element, plots_->Location())) RefreshPlotsLater();
    checks_->RefreshLater();
}

// A merge sets many values; the plots follow once it is done.
void ReviewWindow::RefreshPlotsLater()
{
    if (plotsPending_ || plots_->isHidden()) return;
    plotsPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            plotsPending_ = false;
            if (document_ && !plots_->isHidden()) plots_->Refresh(*document_);
        },
        Qt::QueuedConnection);
}

void ReviewWindow::ShowPlots(bool shown)
{
    if (cmdPlots_->isChecked() != shown) cmdPlots_->setChecked(shown);
    if (plots_->isHidden() != shown) return;
    plots_->setVisible(shown);
    if (!shown || !document_) return;
    shownLast_ = 2;
    WidenFor(plots_->minimumSizeHint().width());
    FitSplitter();
    const int row = pdxDataGrid_->Table()->currentIndex().isValid() ? pdxDataGrid_->CurrentRow() : 0;
    plots_->Refresh(*document_);
    if (row) plots_->Follow(*document_, pdxDataGrid_->RowElement(row));
}

void ReviewWindow::ShowFindings(bool shown)
{
    if (cmdFindings_->isChecked() != shown) cmdFindings_->setChecked(shown);
    if (findings_->isHidden() != shown) return;
    findings_->setVisible(shown);
    if (!shown) return;
    shownLast_ = 1;
    WidenFor(FindingsWidth());
    FitSplitter();
}

int ReviewWindow::FindingsWidth() const
{
    return std::max(findings_->minimumSizeHint().width(), fontMetrics().averageCharWidth() * 48);
}

// A pane shown beside the grid widens the window by its width where the main window has room,
// so that the grid keeps its own.
void ReviewWindow::WidenFor(int paneWidth)
{
    QWidget* frame = parentWidget();
    if (!frame || frame->isMaximized() || frame->isFullScreen() || !frame->parentWidget()) return;
    const int room = frame->parentWidget()->width() - std::max(frame->x(), 0);
    const int width = std::min(frame->width() + paneWidth, room);
    if (width > frame->width()) frame->resize(width, frame->height());
}

// The findings take their width where the place allows, at most a third; the plots half of what
// is left.
void ReviewWindow::FitSplitter()
{
    body_->layout()->activate();
    const int width = splitter_->width();
    const int findings = findings_->isHidden() ? 0 : std::min(FindingsWidth(), width / 3);
    const int plots = plots_->isHidden() ? 0 : (width - findings) / 2;
    splitter_->setSizes({width - findings - plots, findings, plots});
    CollapsePanels();
}

// Where the grid and the panels shown beside it cannot all have their least size, a panel folds
// away (its splitter handle brings it back), the one shown last folding last; once there is room
// again, the panels folded here come back.
void ReviewWindow::CollapsePanels()
{
    QList<int> sizes = splitter_->sizes();
    if (sizes.size() != 3) return;
    const auto least = [](const QWidget* part) { return part->minimumSizeHint().expandedTo(part->minimumSize()); };
    int room = splitter_->width() - least(pdxDataGrid_).width();
    const std::array<int, 2> order = shownLast_ == 1 ? std::array<int, 2>{1, 2} : std::array<int, 2>{2, 1};
    bool changed = false;
    bool unfold = false;
    for (const int index : order) {
        QWidget* panel = splitter_->widget(index);
        if (panel->isHidden()) continue;
        const QSize wanted = least(panel);
        const std::size_t at = static_cast<std::size_t>(index - 1);
        if (room >= wanted.width() + splitter_->handleWidth() && splitter_->height() >= wanted.height()) {
            room -= wanted.width() + splitter_->handleWidth();
            unfold = unfold || folded_[at];
        } else if (sizes[index] > 0) {
            sizes[0] += sizes[index];
            sizes[index] = 0;
            folded_[at] = changed = true;
        }
    }
    if (changed) splitter_->setSizes(sizes);
    if (!unfold) return;
    folded_ = {};
    FitSplitter();
}

void ReviewWindow::SetSourceFile(const QString& source)
{
    sourceFile_ = source;
    txtSource_->setPlainText(source);
    // The file's own name, with the toolkit's mark while there is something to save.
    const qsizetype slash = source.lastIndexOf('/');
    setWindowTitle((slash < 0 ? source : source.mid(slash + 1)) + "[*]");
    plots_->SetFolder(slash < 0 ? QString() : source.left(slash));
    outputName_ = QString::fromLocal8Bit(ReviewOutputName(NativeName(source)));
}

void ReviewWindow::AddSource(const QString& fileName)
{
    txtSource_->setPlainText(txtSource_->toPlainText() + "\n" + fileName);
}

void ReviewWindow::AddBlankDropData(int dropsToAdd)
{
    document_->AddDropData(dropsToAdd);
    SetPDDXDataSet(document_);
}

void ReviewWindow::SetDataChanged(bool changed)
{
    changedBesideUndo_ = changed;
    if (!changed) pdxDataGrid_->UndoStack()->setClean();
    ShowUnsaved();
}

void ReviewWindow::ShowUnsaved()
{
    dataChanged_ = changedBesideUndo_ || !pdxDataGrid_->UndoStack()->isClean();
    lblStatus_->setVisible(dataChanged_);
    setWindowModified(dataChanged_);
}

QStringList ReviewWindow::Sources() const
{
    QStringList files;
    for (const QString& line : txtSource_->toPlainText().split('\n'))
        if (QFileInfo(line).isFile()) files << line;
    return files;
}

namespace {

// What a file holds, as the user knows it: "a Dynatest F25 file", else "a file".
QString WhatItHolds(const QString& path)
{
    InputFile input = InputFile::Named(NativeName(path));
    try {
        const FileType type = DetectInput(input).Type;
        if (type != FileType::Unknown) return "a " + QString::fromLatin1(FileTypeName(type)) + " file";
    } catch (const std::exception&) {
        // unreadable: nothing more to say of it
    }
    return "a file";
}

}  // namespace

// A source file (by its name or as the same file under another) is never replaced: the field
// data would become this document's text.
Replacing ReviewWindow::Replaces(const QString& path) const
{
    std::vector<std::string> sources;
    for (const QString& source : Sources()) sources.push_back(NativeName(source));
    if (!FindOutputConflicts({NativeName(path)}, sources).empty())
        return {path + " is " + WhatItHolds(path) +
                    " this document was read from.\nIt is not replaced: choose another name.",
                true};
    return {path + " is " + WhatItHolds(path) + ".\nDo you want to replace it with this document?", false};
}

bool ReviewWindow::Write()
{
    if (!document_) return false;
    pdxDataGrid_->FinishEdit();
    const QString chosen = prompts_.SaveFileName(this, "Save As", outputName_, QtFilter(kSaveFilter),
                                                 [this](const QString& path) { return Replaces(path); });
    return !chosen.isEmpty() && WriteTo(chosen);
}

bool ReviewWindow::Save()
{
    if (writtenOnce_) {
        pdxDataGrid_->FinishEdit();
        return WriteTo(outputName_);
    }
    return Write();
}

bool ReviewWindow::WriteTo(const QString& name)
{
    // A file merged since the name was chosen may be that very file.
    if (QFileInfo(name).isFile()) {
        const Replacing replacing = Replaces(name);
        if (replacing.Refused) {
            prompts_.Warn(this, "Vantrel", replacing.Text);
            return false;
        }
    }
    try {
        WriteDocument(*document_, NativeName(name));
    } catch (const std::exception& e) {
        // Nothing was written, so the document stays unsaved.
        prompts_.Warn(this, "Vantrel", QString::fromLocal8Bit(e.what()));
        return false;
    }
    // The next save, and the question on closing, offer the name it now has.
    outputName_ = name;
    writtenOnce_ = true;
    SetDataChanged(false);
    return true;
}

void ReviewWindow::AddTests()
{
    if (!document_) return;
    document_->AddTestLocation();
    SetPDDXDataSet(document_);
    const QString count = QString::fromLatin1(document_->Element(pddx::DeflectionData::NumberOfTestLocations).Value());
    const QString answer =
        prompts_.Input(this, "Input Number of Drops", "How many drops are associated with Test Location " + count);
    // The answer is read as a 16-bit whole number ("2.6" is 3 drops); an empty answer (or
    // Cancel), one that is no number or too large, or a negative one adds none.
    int drops = 0;
    try {
        drops = ToInt16(NativeName(answer));
    } catch (const std::exception&) {
        drops = 0;
    }
    if (drops < 0) drops = 0;
    AddBlankDropData(drops);
}

void ReviewWindow::closeEvent(QCloseEvent* event)
{
    // What is being typed counts, as if the user had clicked elsewhere first.
    pdxDataGrid_->FinishEdit();
    if (!DataChanged()) {
        event->accept();
        return;
    }
    const auto answer = prompts_.Ask(this, outputName_,
                                     "PDDX file has not been saved.\nDo you want to save " + outputName_ + "?",
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        event->ignore();
        return;
    }
    // Not written (the chooser cancelled, the file not created): the window stays, and the data
    // with it.
    if (answer == QMessageBox::Yes && !Write()) {
        event->ignore();
        return;
    }
    event->accept();
}

void ReviewWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape that nothing else took (no edit open) closes the find bar.
    if (event->key() == Qt::Key_Escape && findBar_->isVisible()) {
        findBar_->Close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ReviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Once the layout has taken in the change.
    if (watched != this && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        QMetaObject::invokeMethod(
            this, [this] { FitMinimumToBody(); }, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

// The window's smallest size holds the find bar and the grid whole (the panels beside the grid
// fold away first), and no smaller than the size at which the fixed controls show.
void ReviewWindow::FitMinimumToBody()
{
    body_->layout()->activate();
    const QSize grid = pdxDataGrid_->minimumSizeHint().expandedTo(pdxDataGrid_->minimumSize());
    const QSize find = findBar_->isHidden() ? QSize() : findBar_->minimumSizeHint();
    const QSize body(std::max(grid.width(), find.width()), grid.height() + find.height());
    const QSize wanted(std::max(baseMinimum_.width(), body.width() + TwipsToPixels(this, 50)),
                       std::max(baseMinimum_.height(), body_->y() + body.height() + TwipsToPixels(this, 450, true)));
    if (wanted == minimumSize()) return;
    setMinimumSize(wanted);
    if (QWidget* frame = parentWidget()) frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void ReviewWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int width = this->width() - TwipsToPixels(this, 50);
    if (width > 0) body_->resize(width, body_->height());
    const int band = TwipsToPixels(this, 450, true);
    if (body_->y() + band < height()) body_->resize(body_->width(), height() - body_->y() - band);
    body_->move(0, body_->y());
    const int buttons = body_->geometry().bottom() + 1 + (band - cmdFind_->height()) / 2;
    cmdFind_->move(cmdFind_->x(), buttons);
    cmdPlots_->move(cmdPlots_->x(), buttons);
    cmdFindings_->move(cmdFindings_->x(), buttons);
    CollapsePanels();
}

}  // namespace vantrel
