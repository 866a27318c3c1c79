#include "gui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <iostream>
#include <sstream>
#include <thread>

#include "base/AtomicFile.h"
#include "core/Export.h"
#include "core/OutputChecks.h"
#include "core/OutputNames.h"
#include "core/Settings.h"
#include "gui/DialogWindow.h"
#include "gui/NativeName.h"
#include "gui/SettingsWindow.h"
#include "gui/OpenDialog.h"
#include "gui/info/AboutWindow.h"
#include "gui/info/HelpWindow.h"
#include "gui/info/InstructionsWindow.h"
#include "gui/Twips.h"
#include "gui/review/ReviewWindow.h"
#include "gui/review/CheckList.h"
#include "gui/review/ReviewGrid.h"
#include "import/FileFormats.h"

namespace vantrel {
namespace {

// `always`, then the platform's own keys for `standard`, each once: a key bound twice does nothing.
QList<QKeySequence> WithPlatformKeys(const QKeySequence& always, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys{always};
    for (const QKeySequence& key : QKeySequence::keyBindings(standard))
        if (!keys.contains(key)) keys << key;
    return keys;
}

}  // namespace

MainWindow::MainWindow(ProgramState& state, Prompts prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(std::move(prompts))
{
    setObjectName("MainWindow");
    setWindowTitle("Vantrel");

    std::ostringstream warnings;
    LoadSettings(state_, true, warnings);
    if (!warnings.str().empty()) std::cerr << warnings.str();

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("MDIClient");
    // A review window larger than the frame (a small screen) can be scrolled to.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);

    QMenu* fileMenu = menuBar()->addMenu("&File");
    fileMenu->setObjectName("FileMenu");
    QAction* fileOpen = fileMenu->addAction("&Open", this, &MainWindow::OpenFile);
    fileOpen->setObjectName("FileOpen");
    fileOpen->setShortcut(QKeySequence::Open);
    QAction* merge = fileMenu->addAction("&Merge File...", this, &MainWindow::MergeFile);
    merge->setObjectName("FileMerge");
    QAction* exportDrops = fileMenu->addAction("&Export Drops...", this, &MainWindow::ExportDrops);
    exportDrops->setObjectName("FileExportDrops");
    // The active review window's write: Ctrl+S writes again to the name it was written to.
    QAction* write = fileMenu->addAction("&Write PDDX File", this, [this] {
        if (ReviewWindow* review = ActiveReview()) review->Save();
    });
    write->setObjectName("FileWrite");
    write->setShortcut(QKeySequence::Save);
    QAction* saveAs = fileMenu->addAction("Save &As...", this, [this] {
        if (ReviewWindow* review = ActiveReview()) review->Write();
    });
    saveAs->setObjectName("FileSaveAs");
    // Ctrl+Shift+S everywhere, as well as the platform's own key where it has one.
    saveAs->setShortcuts(WithPlatformKeys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), QKeySequence::SaveAs));
    // These act on the active review window, so they are off while there is none.
    connect(fileMenu, &QMenu::aboutToShow, this,
            [this, reviewActions = QList<QAction*>{merge, exportDrops, write, saveAs}] {
                for (QAction* action : reviewActions) action->setEnabled(ActiveReview() != nullptr);
            });
    QAction* exitSeparator = fileMenu->addSeparator();
    QAction* exit = fileMenu->addAction("E&xit", this, &QWidget::close);
    exit->setObjectName("ProgramExit");
    // The files opened last, between Open and Exit.
    connect(fileMenu, &QMenu::aboutToShow, this,
            [this, fileMenu, exitSeparator] { ListRecentFiles(fileMenu, exitSeparator); });

    QMenu* editMenu = menuBar()->addMenu("&Edit");
    editMenu->setObjectName("EditMenu");
    QAction* configure = editMenu->addAction("&Configure", this, &MainWindow::Configure);
    configure->setObjectName("Configure");

    QMenu* windowMenu = menuBar()->addMenu("&Window");
    windowMenu->setObjectName("Window");
    QAction* cascade = windowMenu->addAction("&Cascade", this, &MainWindow::Cascade);
    cascade->setObjectName("Cascade");
    windowMenu->addAction("&Tile", this, &MainWindow::Tile)->setObjectName("Tile");
    // Ctrl+F4 on every platform, and the platform's own close key (Ctrl+W on most desktops). The
    // frames' own menus keep no keys, for a key bound twice does nothing.
    QAction* close = windowMenu->addAction("Cl&ose", this, &MainWindow::CloseActive);
    close->setObjectName("CloseWindow");
    close->setShortcuts(WithPlatformKeys(QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence::Close));
    windowMenu->addAction("Close &All", this, &MainWindow::CloseAll)->setObjectName("CloseAll");
    // The menu lists the open review windows below, as the toolkit knows them.
    connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] { ListWindows(windowMenu); });

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    helpMenu->setObjectName("HelpMenu");
    QAction* index = helpMenu->addAction("&Index", this, &MainWindow::ShowHelp);
    index->setObjectName("PDDXHelp");
    QAction* instructions = helpMenu->addAction("I&nstructions", this, &MainWindow::ShowInstructions);
    instructions->setObjectName("InstructionPDF");
    QAction* about = helpMenu->addAction("&About", this, &MainWindow::ShowAbout);
    about->setObjectName("About");

    // Files dragged from a file manager open where they are dropped.
    setAcceptDrops(true);

    // F1 anywhere in the program: help on whatever has the focus (the key goes to it).
    qApp->installEventFilter(this);

    // The size it was left at, else its own; either fitted to the screen it opens on.
    const QSize wanted(state_.Desktop.MainWidth > 0 ? state_.Desktop.MainWidth : 1000,
                       state_.Desktop.MainHeight > 0 ? state_.Desktop.MainHeight : 700);
    resize(FitToScreen(this, wanted));
    if (state_.Desktop.MainMaximized) setWindowState(windowState() | Qt::WindowMaximized);
}

MainWindow::~MainWindow() = default;

OpenDialog& MainWindow::Dialog()
{
    if (!dialog_) dialog_ = new OpenDialog(*this, state_);
    return *dialog_;
}

void MainWindow::OpenFile() { Dialog().OpenFile(); }

SettingsWindow* MainWindow::Configuration() const { return configuration_; }

void MainWindow::Configure()
{
    if (!configuration_) configuration_ = new SettingsWindow(state_, prompts_, this);
    configuration_->show();
    configuration_->raise();
    configuration_->activateWindow();
}

QMdiSubWindow* MainWindow::FrameOf(ReviewWindow* review)
{
    return review ? qobject_cast<QMdiSubWindow*>(review->parentWidget()) : nullptr;
}

void MainWindow::AddReviewWindow(ReviewWindow* review)
{
    QMdiSubWindow* frame = mdiArea_->addSubWindow(review);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setObjectName("ReviewFrame");
    for (QAction* action : frame->systemMenu()->actions()) action->setShortcuts({});
    // The merge command reopens the dialog in append mode for this window.
    review->OnMerge = [this](ReviewWindow* target) {
        Dialog().AppendFile(target, target->PDDXDataSet(), target->Reading());
    };
    review->Checks()->SetLimits(state_.Settings.Check);
    // The size a review window was last left at, never below its own (one shrunk once would
    // make every later one small), no larger than the frame leaves room for, down to the
    // window's own minimum.
    const DesktopSettings& desktop = state_.Desktop;
    QSize size = frame->sizeHint();
    if (desktop.ReviewWidth > 0 && desktop.ReviewHeight > 0)
        size = size.expandedTo(QSize(desktop.ReviewWidth, desktop.ReviewHeight));
    frame->resize(size.boundedTo(mdiArea_->viewport()->size()).expandedTo(frame->minimumSizeHint()));
    frame->show();
    PlaceNewFrame(frame);
    // A new document is read in its grid.
    mdiArea_->setActiveSubWindow(frame);
    review->setFocus(Qt::OtherFocusReason);
    reviewWindows_.append(review);
}

// Where the frame's own placing found no free room, a new window goes a title bar lower and to the
// right of the one opened before it, so that it never hides that one exactly.
void MainWindow::PlaceNewFrame(QMdiSubWindow* frame)
{
    QMdiSubWindow* previous = nullptr;
    bool overlaps = false;
    for (QMdiSubWindow* other : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (other == frame || !other->isVisible() || other->isMinimized()) continue;
        previous = other;
        overlaps = overlaps || other->geometry().intersects(frame->geometry());
    }
    if (!overlaps || previous->isMaximized()) return;
    const int step = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame);
    const QSize area = mdiArea_->viewport()->size();
    QPoint place = previous->pos() + QPoint(step, step);
    // Past the frame's edge, the steps start again from that edge.
    if (place.x() + frame->width() > area.width()) place.setX(0);
    if (place.y() + frame->height() > area.height()) place.setY(0);
    frame->move(place);
}

void MainWindow::Cascade()
{
    int left = 10;
    int top = 10;
    for (const QPointer<ReviewWindow>& review : reviewWindows_) {
        // Windows closed since they were opened are skipped.
        QMdiSubWindow* frame = FrameOf(review);
        if (!frame || !mdiArea_->subWindowList().contains(frame)) continue;
        frame->move(TwipsToPixels(this, left), TwipsToPixels(this, top, true));
        frame->show();
        frame->raise();
        mdiArea_->setActiveSubWindow(frame);
        left += 400;
        top += 400;
    }
}

ReviewWindow* MainWindow::ActiveReview() const
{
    QMdiSubWindow* frame = mdiArea_->activeSubWindow();
    return frame ? qobject_cast<ReviewWindow*>(frame->widget()) : nullptr;
}

// The frame's own tiling: a grid as even as the count allows, the last column's windows taller
// where a row is short, so that no part of the frame stays empty; maximised windows come back first.
void MainWindow::Tile() { mdiArea_->tileSubWindows(); }

bool MainWindow::CloseAll()
{
    for (QMdiSubWindow* frame : mdiArea_->subWindowList())
        if (!frame->close()) return false;
    return true;
}

void MainWindow::CloseActive()
{
    if (QMdiSubWindow* frame = mdiArea_->activeSubWindow()) frame->close();
}

void MainWindow::Unlist(QMenu* menu, QList<QAction*>& listed)
{
    for (QAction* item : listed) {
        menu->removeAction(item);
        item->deleteLater();
    }
    listed.clear();
}

void MainWindow::ListWindows(QMenu* menu)
{
    QList<QAction*>& listed = windowsListed_;
    Unlist(menu, listed);
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty()) listed << menu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        // The title as its bar shows it: the unsaved mark in place of the placeholder.
        QString title = window->windowTitle();
        title.replace("[*]", window->isWindowModified() ? "*" : "").replace('&', "&&");
        QAction* item = menu->addAction(QString("&%1 %2").arg(number++).arg(title));
        item->setCheckable(true);
        item->setChecked(window == mdiArea_->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { mdiArea_->setActiveSubWindow(window); });
        listed << item;
    }
}

void MainWindow::ListRecentFiles(QMenu* menu, QAction* before)
{
    QList<QAction*>& listed = recentListed_;
    Unlist(menu, listed);
    for (std::size_t i = 0; i < state_.RecentFiles.size(); ++i) {
        const QString path = QString::fromLocal8Bit(state_.RecentFiles[i].Path);
        auto* item = new QAction(QString("&%1 %2").arg(i + 1).arg(path), menu);
        item->setObjectName(QString("RecentFile%1").arg(i + 1));
        item->setToolTip(QString::fromLatin1(FileTypeName(state_.RecentFiles[i].Type)));
        connect(item, &QAction::triggered, this, [this, i] { OpenRecent(static_cast<int>(i)); });
        menu->insertAction(before, item);
        listed << item;
    }
    if (!listed.isEmpty()) {
        listed << new QAction(menu);
        listed.back()->setSeparator(true);
        menu->insertAction(before, listed.back());
    }
}

void MainWindow::OpenRecent(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= state_.RecentFiles.size()) return;
    const RecentFile file = state_.RecentFiles[static_cast<std::size_t>(index)];
    Dialog().OpenNamed(QString::fromLocal8Bit(file.Path), file.Type);
}

namespace {

// The dropped URLs that name files on this machine.
QStringList LocalFiles(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls)
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) files << url.toLocalFile();
    return files;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(event->mimeData()->urls()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    activateWindow();
    OpenDropped(urls);
}

void MainWindow::OpenDropped(const QList<QUrl>& urls)
{
    // One after another: a file that fails or is cancelled leaves the others to open.
    for (const QString& file : LocalFiles(urls)) Dialog().OpenNamed(file);
}

void MainWindow::ShowInstructions()
{
    auto* window = new InstructionsWindow(state_.Desktop.ShowInstructionsAtStart, this);
    window->show();
}

void MainWindow::ShowAtStart()
{
    if (state_.Desktop.ShowInstructionsAtStart) ShowInstructions();
}

void MainWindow::ShowAbout()
{
    auto* window = new AboutWindow(this);
    window->show();
}

void MainWindow::ShowHelp() { HelpWindow::ShowFor(QApplication::focusWidget(), this); }

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame takes Ctrl+Tab for itself through a filter it puts on the whole program once
    // shown; this window's filter goes in after it, so that it is asked first.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl+Tab and Ctrl+Shift+Tab leave a review window's grid (Tab moves between its cells);
    // elsewhere they go from one review window to the next.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* grid = qobject_cast<ReviewGrid*>(watched->parent());
        if (grid && watched == grid->Table() && (key->modifiers() & Qt::ControlModifier) &&
            (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            grid->LeaveGrid(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    // The size a review window is closed at is the next one's.
    if (event->type() == QEvent::Close && watched->objectName() == "ReviewFrame")
        RememberReviewSize(static_cast<QWidget*>(watched));
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        HelpWindow::ShowFor(static_cast<QWidget*>(watched), this);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::RememberReviewSize(const QWidget* frame)
{
    if (frame->isMinimized() || frame->isMaximized()) return;
    state_.Desktop.ReviewWidth = frame->width();
    state_.Desktop.ReviewHeight = frame->height();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Maximised, it comes back maximised, and un-maximised at the size it had before.
    state_.Desktop.MainMaximized = isMaximized();
    const QSize normal = isMaximized() || isMinimized() ? normalGeometry().size() : size();
    if (normal.isValid() && !normal.isEmpty()) {
        state_.Desktop.MainWidth = normal.width();
        state_.Desktop.MainHeight = normal.height();
    }
    for (const QPointer<ReviewWindow>& review : reviewWindows_) {
        QMdiSubWindow* frame = FrameOf(review);
        // A review window whose save prompt was cancelled stops the whole exit.
        if (frame && !frame->close()) {
            event->ignore();
            return;
        }
    }
    std::ostringstream warnings;
    SaveSettings(state_, warnings);
    if (!warnings.str().empty()) std::cerr << warnings.str();
    // The other windows belong to this one and go with it.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isWindow()) child->close();
    event->accept();
}

void MainWindow::ExportDrops()
{
    ReviewWindow* review = ActiveReview();
    if (!review || !review->PDDXDataSet()) return;
    ExportOptions options = lastExport_;
    if (!prompts_.ExportChoices(this, options)) return;
    lastExport_ = options;
    const QString extension = options.GeoJson ? ".geojson" : ".csv";
    const QString start = QString::fromLocal8Bit(RootName(NativeName(review->OutputName()))) + extension;
    const QString chosen = prompts_.SaveFileName(this, "Export Drops", start,
                                                 options.GeoJson ? "GeoJSON Files (*.geojson)" : "CSV Files (*.csv)",
                                                 {});
    if (chosen.isEmpty()) return;
    const std::string source = NativeName(review->SourceFile());
    if (!FindOutputConflicts({NativeName(chosen)}, {source}).empty()) {
        prompts_.Warn(this, "Vantrel", chosen + ": the export would replace the input " + review->SourceFile());
        return;
    }
    // The file column names the document by the file it was read from, as the command line does.
    const std::string name = NativeName(QFileInfo(review->SourceFile()).fileName());
    options.Jobs = std::max(1u, std::thread::hardware_concurrency());
    const std::unique_ptr<ExportTable> table = MakeExportTable(options);
    std::string note;
    try {
        note = table->Add(name, review->PDDXDataSet());
        WriteFileAtomically(NativeName(chosen), [&table](std::ostream& out) { table->Write(out); });
    } catch (const std::exception& e) {
        prompts_.Warn(this, "Vantrel", QString::fromLocal8Bit(e.what()));
        return;
    }
    // What the command line says of the file: the sensors the indices took, the locations left out.
    if (!note.empty()) prompts_.Inform(this, "Export Drops", QString::fromLocal8Bit(name + ": " + note));
}

void MainWindow::MergeFile()
{
    ReviewWindow* review = ActiveReview();
    if (review && review->OnMerge) review->OnMerge(review);
}

int RunDesktop(int argc, char** argv)
{
    QApplication application(argc, argv);
    ProgramState state = InstalledProgramState(RunningProgramFolder());
    MainWindow main(state);
    main.show();
    main.ShowAtStart();
    return application.exec();
}

}  // namespace vantrel
