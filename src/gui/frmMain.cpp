#include "gui/frmMain.h"

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
#include <iostream>
#include <sstream>

#include "core/Settings.h"
#include "gui/DialogWindow.h"
#include "gui/frmConfiguration.h"
#include "gui/frmDialog.h"
#include "gui/info/frmAbout.h"
#include "gui/info/frmHelp.h"
#include "gui/info/frmInstructions.h"
#include "gui/Twips.h"
#include "gui/review/frmReview.h"
#include "import/FileFormats.h"

namespace vantrel {

frmMain::frmMain(ProgramState& state, Prompts prompts, QWidget* parent)
    : QMainWindow(parent), state_(state), prompts_(std::move(prompts))
{
    setObjectName("frmMain");
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
    QAction* fileOpen = fileMenu->addAction("&Open", this, &frmMain::OpenFile);
    fileOpen->setObjectName("FileOpen");
    QAction* exitSeparator = fileMenu->addSeparator();
    QAction* exit = fileMenu->addAction("E&xit", this, &QWidget::close);
    exit->setObjectName("ProgramExit");
    // The files opened last, between Open and Exit.
    connect(fileMenu, &QMenu::aboutToShow, this, [this, fileMenu, exitSeparator] { ListRecentFiles(fileMenu, exitSeparator); });

    QMenu* editMenu = menuBar()->addMenu("&Edit");
    editMenu->setObjectName("EditMenu");
    QAction* configure = editMenu->addAction("&Configure", this, &frmMain::Configure);
    configure->setObjectName("Configure");

    QMenu* windowMenu = menuBar()->addMenu("&Window");
    windowMenu->setObjectName("Window");
    QAction* cascade = windowMenu->addAction("&Cascade", this, &frmMain::Cascade);
    cascade->setObjectName("Cascade");
    windowMenu->addAction("&Tile", this, &frmMain::Tile)->setObjectName("Tile");
    // Ctrl+F4 is the review window frame's own key (a second binding would make it do nothing);
    // the menu only names it.
    QAction* close = windowMenu->addAction("Cl&ose\tCtrl+F4", this, &frmMain::CloseActive);
    close->setObjectName("CloseWindow");
    windowMenu->addAction("Close &All", this, &frmMain::CloseAll)->setObjectName("CloseAll");
    // The menu lists the open review windows below, as the toolkit knows them.
    connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] { ListWindows(windowMenu); });

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    helpMenu->setObjectName("HelpMenu");
    QAction* index = helpMenu->addAction("&Index", this, &frmMain::ShowHelp);
    index->setObjectName("PDDXHelp");
    QAction* instructions = helpMenu->addAction("I&nstructions", this, &frmMain::ShowInstructions);
    instructions->setObjectName("InstructionPDF");
    QAction* about = helpMenu->addAction("&About", this, &frmMain::ShowAbout);
    about->setObjectName("About");

    // Files dragged from a file manager open where they are dropped.
    setAcceptDrops(true);

    // F1 anywhere in the program: help on whatever has the focus (the key goes to it).
    qApp->installEventFilter(this);

    resize(FitToScreen(this, QSize(1000, 700)));
}

frmMain::~frmMain() = default;

frmDialog& frmMain::Dialog()
{
    if (!dialog_) dialog_ = new frmDialog(*this, state_);
    return *dialog_;
}

void frmMain::OpenFile() { Dialog().OpenFile(); }

frmConfiguration* frmMain::Configuration() const { return configuration_; }

void frmMain::Configure()
{
    if (!configuration_) configuration_ = new frmConfiguration(state_, prompts_, this);
    configuration_->show();
    configuration_->raise();
    configuration_->activateWindow();
}

QMdiSubWindow* frmMain::FrameOf(frmReview* review)
{
    return review ? qobject_cast<QMdiSubWindow*>(review->parentWidget()) : nullptr;
}

void frmMain::AddReviewWindow(frmReview* review)
{
    QMdiSubWindow* frame = mdiArea_->addSubWindow(review);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setObjectName("frmReviewFrame");
    // The merge command reopens the dialog in append mode for this window.
    review->OnMerge = [this](frmReview* target) { Dialog().AppendFile(target, target->PDDXDataSet(), target->Reading()); };
    // No larger than the frame leaves room for, down to the window's own minimum.
    frame->resize(frame->size().boundedTo(mdiArea_->viewport()->size()).expandedTo(frame->minimumSizeHint()));
    frame->show();
    reviewWindows_.append(review);
}

void frmMain::Cascade()
{
    int left = 10;
    int top = 10;
    for (const QPointer<frmReview>& review : reviewWindows_) {
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

void frmMain::Tile() { mdiArea_->tileSubWindows(); }

bool frmMain::CloseAll()
{
    for (QMdiSubWindow* frame : mdiArea_->subWindowList())
        if (!frame->close()) return false;
    return true;
}

void frmMain::CloseActive()
{
    if (QMdiSubWindow* frame = mdiArea_->activeSubWindow()) frame->close();
}

void frmMain::Unlist(QMenu* menu, QList<QAction*>& listed)
{
    for (QAction* item : listed) {
        menu->removeAction(item);
        item->deleteLater();
    }
    listed.clear();
}

void frmMain::ListWindows(QMenu* menu)
{
    QList<QAction*>& listed = windowsListed_;
    Unlist(menu, listed);
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty()) listed << menu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* item = menu->addAction(QString("&%1 %2").arg(number++).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == mdiArea_->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { mdiArea_->setActiveSubWindow(window); });
        listed << item;
    }
}

void frmMain::ListRecentFiles(QMenu* menu, QAction* before)
{
    QList<QAction*>& listed = recentListed_;
    Unlist(menu, listed);
    for (std::size_t i = 0; i < state_.RecentFiles.size(); ++i) {
        const QString path = QString::fromLocal8Bit(state_.RecentFiles[i].Path);
        auto* item = new QAction(QString("&%1 %2").arg(i + 1).arg(path), menu);
        item->setObjectName(QString("RecentFile%1").arg(i + 1));
        item->setToolTip(QString::fromLatin1(FileTypeName(state_.RecentFiles[i].FileType)));
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

void frmMain::OpenRecent(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= state_.RecentFiles.size()) return;
    const RecentFile file = state_.RecentFiles[static_cast<std::size_t>(index)];
    Dialog().OpenNamed(QString::fromLocal8Bit(file.Path), file.FileType);
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

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalFiles(event->mimeData()->urls()).isEmpty()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    activateWindow();
    OpenDropped(urls);
}

void frmMain::OpenDropped(const QList<QUrl>& urls)
{
    // One after another: a file that fails or is cancelled leaves the others to open.
    for (const QString& file : LocalFiles(urls)) Dialog().OpenNamed(file);
}

void frmMain::ShowInstructions()
{
    auto* window = new frmInstructions(this);
    window->show();
}

void frmMain::ShowAbout()
{
    auto* window = new frmAbout(this);
    window->show();
}

void frmMain::ShowHelp() { frmHelp::ShowFor(QApplication::focusWidget(), this); }

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        frmHelp::ShowFor(static_cast<QWidget*>(watched), this);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    for (const QPointer<frmReview>& review : reviewWindows_) {
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

int RunDesktop(int argc, char** argv)
{
    QApplication application(argc, argv);
    ProgramState state = InstalledProgramState(RunningProgramFolder());
    frmMain main(state);
    main.show();
    main.ShowInstructions();
    return application.exec();
}

}  // namespace vantrel
