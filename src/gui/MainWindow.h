#pragma once
// The program's one top-level window: a frame holding the review windows, with the menus that
// open the open dialog, the settings window and the information windows. It loads the settings
// when it is created and saves them when it closes.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include "core/ExportFields.h"
#include "core/ProgramState.h"
#include "gui/Prompts.h"

class QMdiArea;
class QMenu;
class QMdiSubWindow;

namespace vantrel {

class SettingsWindow;
class OpenDialog;
class ReviewWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Loads the settings of `state` (its SettingsFile) before anything is shown. The windows it
    // makes ask their questions through `prompts`.
    explicit MainWindow(ProgramState& state, Prompts prompts = StandardPrompts(), QWidget* parent = nullptr);
    ~MainWindow() override;

    ProgramState& State() { return state_; }
    Prompts& UserPrompts() { return prompts_; }

    // File > Open: the open dialog in open mode, shown without blocking.
    void OpenFile();
    // File > Export Drops: the active review window's drops as CSV, as `vantrel export` writes
    // them, to a file the user names.
    void ExportDrops();
    // File > Merge File: what the active review window's merge command does.
    void MergeFile();
    // The open dialog, created (and loaded) on first use or after the user closed it.
    OpenDialog& Dialog();
    // Edit > Configure.
    void Configure();
    SettingsWindow* Configuration() const;
    // Window > Cascade.
    void Cascade();
    // Window > Tile, Window > Close All (which stops at a window whose save question is
    // cancelled; false then), Window > Close (Ctrl+F4, the active review window).
    void Tile();
    bool CloseAll();
    void CloseActive();
    // File > 1 to 8: a file opened before, read again as the type it was read as.
    void OpenRecent(int index);
    // Help > Instructions, Help > About, Help > Index (F1).
    void ShowInstructions();
    void ShowAbout();
    void ShowHelp();
    // What opens beside the main window at start-up: the instructions, unless the user turned them off.
    void ShowAtStart();

    // Opens each dropped file (a local file) in a review window as Browse does: read as the open
    // dialog's type, after its question when the content looks like another type.
    void OpenDropped(const QList<QUrl>& urls);

    // Puts a review window into the frame, shows it and appends it to ReviewWindows.
    void AddReviewWindow(ReviewWindow* review);
    // The review windows opened since start-up, in opening order; closed ones read as null.
    const QList<QPointer<ReviewWindow>>& ReviewWindows() const { return reviewWindows_; }
    QMdiArea* Area() const { return mdiArea_; }
    // The review window that is active in the frame; null when there is none.
    ReviewWindow* ActiveReview() const;
    static QMdiSubWindow* FrameOf(ReviewWindow* review);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ListRecentFiles(QMenu* menu, QAction* before);
    void ListWindows(QMenu* menu);
    static void Unlist(QMenu* menu, QList<QAction*>& listed);
    void RememberReviewSize(const QWidget* frame);
    void PlaceNewFrame(QMdiSubWindow* frame);

    ProgramState& state_;
    Prompts prompts_;
    QMdiArea* mdiArea_;
    QList<QPointer<ReviewWindow>> reviewWindows_;
    // What the File and Window menus list for now: the recent files, the open windows.
    QList<QAction*> recentListed_;
    QList<QAction*> windowsListed_;
    QPointer<OpenDialog> dialog_;
    QPointer<SettingsWindow> configuration_;
    ExportOptions lastExport_;  // what File > Export Drops wrote last, offered again
};

// The desktop program: main window and instructions, until the main window closes.
int RunDesktop(int argc, char** argv);

}  // namespace vantrel
