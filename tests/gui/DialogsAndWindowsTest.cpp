// What the program's own dialogs and the frame's windows show: Save As never replacing a source,
// the batch's long lists fitting the screen, the open dialog's focus, the windows' places and
// sizes kept, and the desktop program's start.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QValueAxis>
#include <QtCharts/QChartView>
#include <sys/wait.h>

#include "gui/ListMessage.h"
#include "gui/SettingsWindow.h"
#include "gui/review/PlotPanel.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;
namespace fs = std::filesystem;

// Save As onto a file the document was read from, by its name or as the same file under another
// name, is refused naming what it is; another existing file is replaced only after a question
// naming what it holds.
TEST(SaveAs, NeverReplacesASourceAndSaysWhatAFileHolds)
{
    Program program;
    fs::copy_file(fs::path(VANTREL_EXAMPLES) / "f25/small.F25", program.folder / "mr.F25");
    fs::create_hard_link(program.folder / "mr.F25", program.folder / "linked.F25");
    program.WritePddx("merged.DDX", "M");
    program.WritePddx("other.DDX", "O");
    ASSERT_TRUE(program.main.Dialog().OpenNamed(program.Path("mr.F25"), FileType::DynatestF25));
    ReviewWindow& review = *program.main.ReviewWindows().back();
    review.AddSource(program.Path("merged.DDX"));
    const std::string field = ReadBytes(program.folder / "mr.F25");
    // The name chosen; what the chooser says of it ("": nothing); whether it is written.
    const std::tuple<const char*, QString, bool> cases[] = {
        {"mr.F25", "Refused|%1 is a Dynatest F25 file this document was read from.\nIt is not replaced: choose another name.", false},
        {"linked.F25", "Refused|%1 is a Dynatest F25 file this document was read from.\nIt is not replaced: choose another name.", false},
        {"merged.DDX", "Refused|%1 is a PDDX file this document was read from.\nIt is not replaced: choose another name.", false},
        {"other.DDX", "Replace|%1 is a PDDX file.\nDo you want to replace it with this document?", true},
        {"new.DDX", "", true}};
    for (const auto& [name, said, written] : cases) {
        SCOPED_TRACE(name);
        program.prompts.log.clear();
        program.prompts.reply = program.Path(name);
        const QString start = review.OutputName();
        const std::string before = fs::exists(program.folder / name) ? ReadBytes(program.folder / name) : "";
        EXPECT_EQ(review.Write(), written);
        EXPECT_EQ(program.prompts.log.join('\n'), "Save|Save As|" + start + "|PDDX Data Files (*.DDX)" + (said.isEmpty() ? "" : "\n" + said.arg(program.Path(name))));
        EXPECT_EQ(ReadBytes(program.folder / name) != before, written);
    }
    EXPECT_EQ(ReadBytes(program.folder / "mr.F25"), field);

    // The toolkit's chooser asks that question itself, in place of its own, and stays open.
    QString shown;
    int ticks = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(modal); chooser && ticks++ == 0) {
            // Typed in its File name box, as a user does.
            auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_TRUE(name);
            name->setText(program.Path("mr.F25"));
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);  // its Save button
        } else if (chooser) {
            chooser->reject();  // it stayed for another name
        }
    });
    user.start(20);
    EXPECT_EQ(StandardPrompts().SaveFileName(&review, "Save As", program.Path("x.DDX"), "PDDX Data Files (*.DDX)",
                                             [&](const QString& path) { return review.Replaces(path); }), "");
    EXPECT_GE(ticks, 2) << "the chooser stayed open after the message";
    EXPECT_EQ(shown, program.Path("mr.F25") + " is a Dynatest F25 file this document was read from.\nIt is not replaced: choose another name.");
}

// Whether the whole of `widget` lies on its screen's available area.
bool OnScreen(const QWidget& widget)
{
    return widget.screen()->availableGeometry().contains(QRect(widget.mapToGlobal(QPoint()), widget.size()));
}

// 200 files: the batch's list scrolls inside a window that fits the screen with its buttons on it,
// and every line of it can be selected and copied.
TEST(BatchMessages, ALongListScrollsInsideTheScreenAndIsCopied)
{
    QStringList lines;
    for (int i = 1; i <= 200; ++i) lines << QString("     %1 F%2.F25").arg(QChar(0x2022)).arg(i, 3, 10, QChar('0'));
    ListMessage message(nullptr, "Batch Processing of FWD Files", "The following files were found with the same extension. \n200 files in /data", lines,
                        " Do you wish to convert all of the files to PDDX Standard?", QMessageBox::Yes | QMessageBox::No, QMessageBox::Question);
    message.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&message) && Activate(message));
    EXPECT_TRUE(message.screen()->availableGeometry().contains(message.frameGeometry())) << message.frameGeometry().height();
    for (QAbstractButton* button : message.Buttons()->buttons()) EXPECT_TRUE(button->isVisible() && OnScreen(*button)) << button->text().toStdString();
    EXPECT_TRUE(message.List()->verticalScrollBar()->isVisible());
    EXPECT_GE(message.List()->viewport()->height(), message.List()->fontMetrics().lineSpacing() * 10) << "a screenful of the list";
    EXPECT_EQ(message.Text()->text().section('\n', 0, 0), "The following files were found with the same extension. ");
    ASSERT_TRUE(Focus(*message.List()));
    QApplication::clipboard()->clear();
    PressKeys("Ctrl+A Ctrl+C");
    EXPECT_EQ(QApplication::clipboard()->text(), lines.join('\n'));
    PressKeys("Escape");
    EXPECT_EQ(message.Answer(), QMessageBox::No);
}

// The open dialog comes up with the focus in the Filename box and its text selected, whatever
// was pressed before; Enter reads the path typed, on the Batch and Blank buttons too. A merge
// has its own title and only what merges.
TEST(OpenDialog, ComesUpInTheFilenameBoxAndEnterReadsTheTypedPath)
{
    for (const char* pressed : {"cmdBrowse", "cmdBatch", "cmdBlank"}) {
        SCOPED_TRACE(pressed);
        Program program;
        program.WritePddx("typed.pdx", "T");
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        program.Press(dialog, "optPDDX");
        dialog.FilenameBox()->setText(program.Path("old.pdx"));
        ASSERT_TRUE(Activate(dialog) && Focus(*dialog.findChild<QWidget*>(pressed)));
        PressKeys("Space");
        if (dialog.isVisible()) {
            // Ctrl+O in the dialog still up, after a type was clicked.
            ASSERT_TRUE(Focus(*dialog.Option("optPDDX")));
            PressKeys("Ctrl+O");
        } else {
            // Ctrl+O from the main window.
            ASSERT_TRUE(Activate(program.main));
            program.main.OpenFile();
        }
        ASSERT_TRUE(Activate(dialog));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog.FilenameBox(); }));
        EXPECT_EQ(dialog.FilenameBox()->selectedText(), dialog.FilenameBox()->text());
        PressKeys("'" + program.Path("typed.pdx") + "'");
        ASSERT_TRUE(Focus(*dialog.findChild<QWidget*>(pressed == QString("cmdBlank") ? "cmdBlank" : "cmdBatch")));
        const qsizetype windows = program.main.ReviewWindows().size();
        program.prompts.log.clear();
        PressKeys("Return");
        ASSERT_EQ(program.main.ReviewWindows().size(), windows + 1) << program.prompts.log.join('\n').toStdString();
        EXPECT_EQ(program.main.ReviewWindows().back()->SourceFile(), program.Path("typed.pdx"));
        EXPECT_EQ(program.prompts.log.join('\n'), "");
    }

    Program program;
    ReviewWindow& review = program.Open("a.pdx");
    const auto shown = [&] {
        OpenDialog& dialog = program.main.Dialog();
        QStringList seen{dialog.windowTitle()};
        for (const char* name : {"cmdBrowse", "cmdBatch", "cmdBlank", "cmdCancel"})
            if (dialog.findChild<QWidget*>(name)->isVisible()) seen << name;
        return seen.join(' ');
    };
    ASSERT_TRUE(Activate(program.main));
    program.main.MergeFile();
    EXPECT_EQ(shown(), "Merge File cmdBrowse cmdCancel");
    program.Press(program.main.Dialog(), "cmdCancel");
    program.main.OpenFile();
    EXPECT_EQ(shown(), "Open cmdBrowse cmdBatch cmdBlank cmdCancel");
    EXPECT_EQ(review.Sources(), QStringList{program.Path("a.pdx")});
}

// A maximised main window comes back maximised; a review window opens at its own size however
// small the last one was left, after a restart too.
TEST(MainWindow, KeepsItsMaximisedStateAndReviewWindowsTheirSize)
{
    Program program;
    QSize first;
    {
        ReviewWindow& review = program.Open("a.pdx");
        QMdiSubWindow* frame = MainWindow::FrameOf(&review);
        first = frame->size();
        frame->resize(frame->minimumSizeHint());
        ASSERT_LT(frame->width(), first.width());
        program.prompts.answer = QMessageBox::No;
        frame->close();
    }
    EXPECT_EQ(MainWindow::FrameOf(&program.Open("b.pdx"))->size(), first);
    program.main.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.main.isMaximized(); }));
    ASSERT_TRUE(program.main.close());

    ProgramState again = NewProgramState(program.folder.Path());
    MainWindow restarted(again, program.prompts.Table());
    restarted.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return restarted.isMaximized(); }));
    program.WritePddx("c.pdx", "C");
    ASSERT_TRUE(restarted.Dialog().OpenNamed(program.Path("c.pdx"), FileType::PDDX));
    const QSize reopened = MainWindow::FrameOf(restarted.ReviewWindows().back())->size();
    EXPECT_TRUE(reopened.width() >= first.width() && reopened.height() >= first.height());
    restarted.CloseAll();
}

// The frame's windows: listed by their titles as shown, opened each a step from the last, tiled
// without overlap over the whole frame.
TEST(MainWindow, WindowsAreListedAsTitledOpenApartAndTileTheFrame)
{
    Program program;
    program.main.resize(1260, 960);
    std::vector<QMdiSubWindow*> frames;
    for (const char* name : {"a.pdx", "b.pdx", "c.pdx"}) frames.push_back(MainWindow::FrameOf(&program.Open(name)));
    for (std::size_t i = 1; i < frames.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(frames[i]->pos(), frames[j]->pos()) << i << " on " << j;
    program.main.ReviewWindows().front()->SetDataChanged(false);
    auto* menu = program.main.findChild<QMenu*>("Window");
    emit menu->aboutToShow();
    QStringList listed;
    for (const QAction* action : menu->actions())
        if (action->isCheckable()) listed << action->text();
    EXPECT_EQ(listed.join('|'), "&1 a.pdx|&2 b.pdx*|&3 c.pdx*");

    frames[1]->showMaximized();
    program.main.Tile();
    const QRect area = program.main.Area()->viewport()->rect();
    int covered = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_TRUE(area.contains(frames[i]->geometry())) << i;
        ASSERT_TRUE(frames[i]->minimumSizeHint().width() <= area.width() / 2 && frames[i]->minimumSizeHint().height() <= area.height() / 2);
        covered += frames[i]->width() * frames[i]->height();
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(frames[i]->geometry().intersects(frames[j]->geometry())) << i << " over " << j;
    }
    EXPECT_GE(covered, area.width() * area.height() * 95 / 100) << "no part of the frame left empty";
    program.prompts.answer = QMessageBox::No;
    program.main.CloseAll();
}

// Save Plot starts in the document's folder; a history counted in samples has whole-numbered ticks.
TEST(PlotPanel, SavesBesideTheDocumentAndCountsSamplesInWholeNumbers)
{
    Program program;
    fs::create_directories(program.folder / "survey");
    auto document = std::make_shared<PDDXFile>();
    PDDXSection& location = document->AddTestLocation();
    location.AddDropData().SetValue("40, 500, 300");
    for (int sample = 1; sample <= 3; ++sample) location.AddHistoryData(1, sample).SetValue(std::to_string(100 * sample) + ", 8, 7");
    ReviewWindow& review = program.Review(document, "survey/s.pdx");
    review.ShowPlots(true);
    review.Plots()->SavePlot(*review.Plots()->BasinView());
    EXPECT_EQ(program.prompts.log.value(0).section('|', 2, 2), program.Path("survey/Test Location 1 basin.png"));
    const auto* axis = static_cast<QValueAxis*>(review.Plots()->History()->axes(Qt::Horizontal).value(0));
    ASSERT_TRUE(axis && axis->titleText() == "Sample");
    const bool dynamic = axis->tickType() == QValueAxis::TicksDynamic;
    const double first = dynamic ? axis->tickAnchor() : axis->min();
    const double step = dynamic ? axis->tickInterval() : (axis->max() - axis->min()) / (axis->tickCount() - 1);
    EXPECT_TRUE(first == std::floor(first) && step >= 1 && step == std::floor(step)) << first << " " << step;
}

// Configuration's three Browse buttons each have a key of their own; the help window and the
// batch's progress show whole.
TEST(SmallWindows, BrowseKeysHelpOnScreenAndTheProgressTitleWhole)
{
    Program program;
    program.main.Configure();
    SettingsWindow& settings = *program.main.Configuration();
    ASSERT_TRUE(Activate(settings) && Focus(*settings.findChild<QWidget*>("txtInputPath")));
    for (const char* key : {"Alt+B", "Alt+R", "Alt+S"}) PressKeys(key);
    EXPECT_EQ(program.prompts.log.join('\n'), "Folder|Select folder where input data files are located.\nFolder|Select folder where history files are located.\n"
                                              "Folder|Select folder where configuration files are located.");

    program.main.move(0, program.main.screen()->availableGeometry().height() / 2);
    program.main.ShowHelp();
    auto* help = program.main.findChild<QWidget*>("HelpWindow");
    ASSERT_TRUE(help && QTest::qWaitForWindowExposed(help));
    EXPECT_TRUE(QTest::qWaitFor([&] { return help->screen()->availableGeometry().contains(help->frameGeometry()); })) << help->frameGeometry().y();

    program.WritePddx("run/1.FWD", "1");
    program.WritePddx("run/2.FWD", "2");
    program.main.OpenFile();
    program.Press(program.main.Dialog(), "optPDDX");
    program.prompts.answer = QMessageBox::Yes;
    int room = 0;
    const QMetaObject::Connection seen = QObject::connect(program.main.Dialog().FilenameBox(), &QLineEdit::textChanged, [&] {
        auto* progress = program.main.Dialog().findChild<QProgressDialog*>("dlgBatchProgress");
        if (progress && progress->isVisible()) room = progress->width() - progress->fontMetrics().horizontalAdvance(progress->windowTitle());
    });
    WriteBytes(program.folder / "run/2.FWD", ReadBytes(program.folder / "run/2.FWD") + "no key here\r\n");
    const QString asked = program.Press(program.main.Dialog(), "cmdBatch", program.Path("run/1.FWD"));
    const QString summary = asked.mid(asked.lastIndexOf("List|"));
    QObject::disconnect(seen);
    // The counts first; the warnings before the list of what was written.
    EXPECT_TRUE(summary.startsWith("List|Batch Processing of FWD Files|2 of 2 files converted.\n\nWritten: 2, warnings: 1|Warnings:\n     \u2022 2.FWD:")) << summary.toStdString();
    EXPECT_TRUE(summary.endsWith("\n\nWritten:\n     \u2022 1cvt.DDX\n     \u2022 2cvt.DDX|")) << summary.toStdString();
    EXPECT_GE(room, 150) << "the title bar's buttons beside the title";
}

// `vantrel` alone starts the desktop program in its place and says nothing of its own; only a
// desktop program that cannot be started is reported.
TEST(DesktopStart, NothingIsSaidUnlessTheStartFails)
{
    TempDir dir;
    fs::copy_file(VANTREL_BINARY, dir / "vantrel");
    fs::permissions(dir / "vantrel", fs::perms::owner_all);
    // The program run; what its error output holds ("": nothing of its own).
    const std::pair<std::string, std::string> cases[] = {
        {VANTREL_BINARY, ""},
        {(dir / "vantrel").string(), "vantrel: cannot start the desktop program " + (dir / "vantrel-desktop").string() + ": No such file or directory\n"}};
    for (const auto& [program, said] : cases) {
        SCOPED_TRACE(program);
        // A display it cannot use ends the desktop program at once, after it has started.
        const int pid = StartVantrel({"QT_QPA_PLATFORM=none", program}, dir.Path(), dir / "err.txt", {}, {}, {.program = "/usr/bin/env"});
        WaitForVantrel(pid);
        const std::string err = ReadBytes(dir / "err.txt");
        EXPECT_EQ(err.find("vantrel: "), said.empty() ? std::string::npos : 0) << err;
        if (!said.empty()) {
            EXPECT_EQ(err, said);
        }
    }
}

}  // namespace
}  // namespace vantrel
