// Renders each window of the desktop program into a PNG file, without a display, for the
// documentation: render_windows OUTPUT_FOLDER EXAMPLES_FOLDER.
//
// The windows are driven as a user drives them (menus, option buttons, the open dialog's
// conversion), so the pictures show what the program really shows.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <iostream>

#include "core/ProgramState.h"
#include "gui/SettingsWindow.h"
#include "gui/OpenDialog.h"
#include "gui/MainWindow.h"
#include "gui/info/AboutWindow.h"
#include "gui/info/InstructionsWindow.h"
#include "gui/review/FindBar.h"
#include "gui/review/PlotPanel.h"
#include "gui/review/ReviewWindow.h"
#include "gui/review/ReviewGrid.h"

namespace {

using namespace vantrel;

// Charts lay themselves out over several rounds of events after each resize.
void Settle()
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 300) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

// Lays the window out, shows it and writes what it shows.
bool Render(QWidget* window, const QDir& folder, const QString& name)
{
    if (!window) {
        std::cerr << "render_windows: no window for " << name.toStdString() << "\n";
        return false;
    }
    window->show();
    Settle();
    const QString file = folder.filePath(name);
    if (!window->grab().save(file, "PNG")) {
        std::cerr << "render_windows: cannot write " << file.toStdString() << "\n";
        return false;
    }
    std::cout << file.toStdString() << "\n";
    return true;
}

void Click(QWidget* in, const char* name)
{
    if (auto* button = in->findChild<QAbstractButton*>(name)) button->click();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: render_windows OUTPUT_FOLDER EXAMPLES_FOLDER\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    const QDir examples(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(output.path())) {
        std::cerr << "render_windows: cannot create " << argv[1] << "\n";
        return 1;
    }

    // The program lives in a scratch folder, so its settings file touches nothing real; the
    // folders shown are those a user would have chosen.
    QTemporaryDir programFolder;
    ProgramState state = NewProgramState(programFolder.path().toStdString());
    MainWindow main(state);
    state.Settings.InputPath = "/home/engineer/FWD/Data";
    state.Settings.HistoryPath = "/home/engineer/FWD/History";
    state.Settings.ConfigPath = "/home/engineer/FWD/Config";
    main.resize(1280, 900);
    main.show();
    Settle();
    bool ok = true;

    // The open dialog with a Dynatest F25 file chosen, then that file converted into a review
    // window with the plots shown and the find bar keeping the first test location's rows, the
    // current row on the drop whose time history was recorded.
    OpenDialog& dialog = main.Dialog();
    dialog.OpenFile();
    Click(&dialog, "optF25");
    const QString input = QDir::cleanPath(examples.absoluteFilePath("f25/full.F25"));
    dialog.FilenameBox()->setText(input);
    ok = Render(&dialog, output, "open-dialog.png") && ok;
    if (!dialog.ReadChosen() || main.ReviewWindows().isEmpty()) {
        std::cerr << "render_windows: could not convert " << input.toStdString() << "\n";
        return 1;
    }
    ReviewWindow* review = main.ReviewWindows().back();
    // As it first opens: the grid and the findings beside it.
    ok = Render(&main, output, "review-window.png") && ok;
    QWidget* area = MainWindow::FrameOf(review)->parentWidget();
    MainWindow::FrameOf(review)->setGeometry(0, 0, area->width(), area->height());
    Click(review, "cmdPlots");
    review->Find()->Open();
    review->Find()->FindBox()->setText("Test Location 1");
    ReviewGrid* grid = review->Grid();
    for (int row = 1; row <= grid->RowCount(); ++row)
        if (grid->CellText(row, 0) == "Test Location 1" && grid->CellText(row, 1) == "DropData_3") grid->GoToRow(row);
    ok = Render(&main, output, "main-window.png") && ok;

    // The settings window as it first opens (Dynatest F25), then with Jils DAT chosen and the
    // JILS defaults filled in.
    main.Configure();
    ok = Render(main.Configuration(), output, "settings-window-f25.png") && ok;
    state.Settings.NumSensors = 7;
    state.Settings.LoadPlateRadius = "5.91";
    state.Settings.SensorXAxis = "0, 8, 12, 18, 24, 36, 48";
    state.Settings.SensorYAxis = "0, 0, 0, 0, 0, 0, 0";
    Click(main.Configuration(), "optJils");
    ok = Render(main.Configuration(), output, "settings-window.png") && ok;

    main.ShowInstructions();
    ok = Render(main.findChild<InstructionsWindow*>(), output, "instructions.png") && ok;
    main.ShowAbout();
    auto* about = main.findChild<AboutWindow*>();
    ok = Render(about, output, "about.png") && ok;
    if (about) Click(about, "cmdAcknowledge");
    ok = Render(main.findChild<AcknowledgeWindow*>(), output, "acknowledgements.png") && ok;
    return ok ? 0 : 1;
}
