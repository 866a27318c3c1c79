// The review window on a very large document: gui_bench SURVEY.DDX
//
// Reads the PDDX file into a document and measures the document's memory, then opens it in a
// review window of the main window (offscreen unless QT_QPA_PLATFORM says otherwise) as the open
// dialog does, and measures the time until the grid has painted once, the memory the window
// takes beyond the document, and how long each of 50 moves of the scroll bar from top to bottom
// takes to show; then each step of the find bar (a text typed a character at a time, the
// missing-data toggle, a go-to, the bar closed), from the change to the grid painted again. Prints
// one "key value" pair per line for bench/gui.sh.
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QEvent>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>

#include "core/ProgramState.h"
#include "gui/MainWindow.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "gui/review/FindBar.h"
#include "gui/review/ReviewWindow.h"
#include "gui/review/ReviewGrid.h"

namespace {

using namespace vantrel;

// Resident memory in bytes, after handing freed heap back to the system so that what was only
// needed on the way (the parsed file, say) does not count.
std::int64_t ResidentBytes()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    std::int64_t total = 0;
    std::int64_t resident = 0;
    statm >> total >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Notes the paints of one widget.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;

    // Processes events until the widget has painted again; false when it never did.
    bool WaitForPaint()
    {
        painted = false;
        QElapsedTimer limit;
        limit.start();
        while (!painted && limit.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 50);
        return painted;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Opens the document in a new review window of `main`, as the open dialog does after a
// conversion, and waits for the grid's first paint; false when it never came.
bool OpenAndPaint(MainWindow& main, const std::shared_ptr<PDDXFile>& document, ReviewWindow*& review)
{
    review = new ReviewWindow(main.UserPrompts());
    PaintWatch watch(review->Grid()->Table()->viewport());
    review->SetPDDXDataSet(document);
    review->SetSourceFile("SURVEY.DDX");
    main.AddReviewWindow(review);
    review->Grid()->ElementCheckFlags();
    return watch.WaitForPaint();
}

// Drags the vertical scroll bar from top to bottom in `steps` moves, waiting for each repaint;
// the longest and the mean time a move took to show, in seconds.
std::pair<double, double> ScrollTopToBottom(ReviewWindow& review, int steps)
{
    QTableView& table = *review.Grid()->Table();
    PaintWatch watch(table.viewport());
    QScrollBar& bar = *table.verticalScrollBar();
    double longest = 0, total = 0;
    for (int i = 1; i <= steps; ++i) {
        QElapsedTimer clock;
        clock.start();
        bar.setValue(bar.minimum() +
                     static_cast<int>(static_cast<long long>(bar.maximum() - bar.minimum()) * i / steps));
        if (!watch.WaitForPaint()) return {60, 60};
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        longest = std::max(longest, seconds);
        total += seconds;
    }
    return {longest, total / steps};
}

// Runs one step of the find bar and waits until the grid has painted what it shows; seconds.
template <typename Step>
double Timed(ReviewWindow& review, Step step)
{
    PaintWatch watch(review.Grid()->Table()->viewport());
    QElapsedTimer clock;
    clock.start();
    step();
    review.Grid()->Table()->viewport()->update();
    while (!watch.painted && clock.elapsed() < 60000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The find bar's steps as a user takes them; the slowest step's time.
double FindSteps(ReviewWindow& review)
{
    FindBar& bar = *review.Find();
    double slowest = 0;
    const auto note = [&](const char* what, double seconds) {
        std::cout << "filter_step_seconds[" << what << "] " << seconds << "\n";
        slowest = std::max(slowest, seconds);
    };
    note("open", Timed(review, [&] { bar.Open(); }));
    // Typed a character at a time: the first characters keep nearly every row.
    QString typed;
    for (const QChar c : QString("dropdata_25")) {
        typed += c;
        note(typed.toLatin1().constData(), Timed(review, [&] { bar.FindBox()->setText(typed); }));
    }
    note("missing-only", Timed(review, [&] { bar.MissingBox()->setChecked(true); }));
    note("missing-off", Timed(review, [&] { bar.MissingBox()->setChecked(false); }));
    note("cleared", Timed(review, [&] { bar.FindBox()->clear(); }));
    note("text-9999", Timed(review, [&] { bar.FindBox()->setText("9999"); }));
    note("go-to-1500", Timed(review, [&] {
             bar.LocationBox()->setText("1500");
             bar.GoToTestLocation();
         }));
    note("close", Timed(review, [&] { bar.Close(); }));
    return slowest;
}

void Close(ReviewWindow* review)
{
    review->SetDataChanged(false);
    delete MainWindow::FrameOf(review);
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: gui_bench SURVEY.DDX\n";
        return 2;
    }

    QTemporaryDir programFolder;
    ProgramState state = NewProgramState(programFolder.path().toStdString());
    MainWindow main(state);
    main.resize(1000, 720);
    main.show();

    // One small review window first, so that what any first window costs (fonts, style,
    // backing store) is not put down to the large document.
    ReviewWindow* review = nullptr;
    if (!OpenAndPaint(main, std::make_shared<PDDXFile>(), review)) {
        std::cerr << "gui_bench: the grid never painted\n";
        return 1;
    }
    Close(review);

    const std::int64_t before = ResidentBytes();
    auto document = std::make_shared<PDDXFile>();
    try {
        int sensors = 0;
        ReadWarnings warnings;
        ByteSource bytes = ByteSource::OpenFile(argv[1]);
        const std::string none;
        ReaderCarryOver carryOver;
        ReaderContext context{sensors, {none, none, none}, carryOver, warnings};
        ReaderInput input{argv[1], bytes, std::nullopt};
        FindFileFormat(FileType::PDDX)->Read(context, input, *document, false);
    } catch (const std::exception& e) {
        std::cerr << "gui_bench: " << e.what() << "\n";
        return 1;
    }
    const std::int64_t built = ResidentBytes();

    QElapsedTimer clock;
    clock.start();
    if (!OpenAndPaint(main, document, review)) {
        std::cerr << "gui_bench: the grid never painted\n";
        return 1;
    }
    const double firstPaint = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const std::int64_t shown = ResidentBytes();
    const auto [longestScroll, meanScroll] = ScrollTopToBottom(*review, 50);

    const double slowestStep = FindSteps(*review);

    const auto elements = static_cast<double>(review->Grid()->RowCount());
    std::cout << "elements " << review->Grid()->RowCount() << "\n"
              << "first_paint_seconds " << firstPaint << "\n"
              << "document_bytes_per_element " << static_cast<double>(built - before) / elements << "\n"
              << "window_bytes_per_element " << static_cast<double>(shown - built) / elements << "\n"
              << "scroll_step_longest_seconds " << longestScroll << "\n"
              << "scroll_step_mean_seconds " << meanScroll << "\n"
              << "filter_step_seconds_max " << slowestStep << "\n";
    Close(review);
    return 0;
}
