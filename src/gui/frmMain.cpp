#include "gui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <iostream>
#include <sstream>

#include "core/Settings.h"
#include "gui/frmConfiguration.h"
#include "gui/frmDialog.h"
#include "gui/info/frmAbout.h"
#include "gui/info/frmHelp.h"
#include "gui/info/frmInstructions.h"
#include "gui/Twips.h"
#include "gui/review/frmReview.h"

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
    setCentralWidget(mdiArea_);

    QMenu* fileMenu = menuBar()->addMenu("&File");
    fileMenu->setObjectName("FileMenu");
    QAction* fileOpen = fileMenu->addAction("&Open", this, &frmMain::OpenFile);
    fileOpen->setObjectName("FileOpen");
    QAction* exit = fileMenu->addAction("E&xit", this, &QWidget::close);
    exit->setObjectName("ProgramExit");

    QMenu* editMenu = menuBar()->addMenu("&Edit");
    editMenu->setObjectName("EditMenu");
    QAction* configure = editMenu->addAction("&Configure", this, &frmMain::Configure);
    configure->setObjectName("Configure");

    QMenu* windowMenu = menuBar()->addMenu("&Window");
    windowMenu->setObjectName("Window");
    // The menu lists the open review windows below Cascade, as the toolkit knows them.
    connect(windowMenu, &QMenu::aboutToShow, this, [this, windowMenu] {
        windowMenu->clear();
        QAction* cascade = windowMenu->addAction("&Cascade", this, &frmMain::Cascade);
        cascade->setObjectName("Cascade");
        const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
        if (!windows.isEmpty()) windowMenu->addSeparator();
        int number = 1;
        for (QMdiSubWindow* window : windows) {
            QAction* item = windowMenu->addAction(QString("&%1 %2").arg(number++).arg(window->windowTitle()));
            item->setCheckable(true);
            item->setChecked(window == mdiArea_->activeSubWindow());
            connect(item, &QAction::triggered, this, [this, window] { mdiArea_->setActiveSubWindow(window); });
        }
    });
    QAction* cascade = windowMenu->addAction("&Cascade", this, &frmMain::Cascade);
    cascade->setObjectName("Cascade");

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    helpMenu->setObjectName("HelpMenu");
    QAction* index = helpMenu->addAction("&Index", this, &frmMain::ShowHelp);
    index->setObjectName("PDDXHelp");
    QAction* instructions = helpMenu->addAction("I&nstructions", this, &frmMain::ShowInstructions);
    instructions->setObjectName("InstructionPDF");
    QAction* about = helpMenu->addAction("&About", this, &frmMain::ShowAbout);
    about->setObjectName("About");

    // F1 anywhere in the program: help on whatever has the focus (the key goes to it).
    qApp->installEventFilter(this);

    resize(1000, 700);
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
    review->OnMerge = [this](frmReview* target) { Dialog().AppendFile(target, target->PDDXDataSet()); };
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
