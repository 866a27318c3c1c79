// The desktop program driven as a user drives it: the open dialog (its type, batch, failures), a
// blank document given test locations and written, and the settings window. Each test checks what
// the user sees, what was asked and what lands on disk.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>

#include <set>

#include "base/Latin1.h"
#include "core/Settings.h"
#include "gui/SettingsWindow.h"
#include "gui/review/FindingsPanel.h"
#include "import/FileFormats.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// Every type with its own extensions, each pattern once.
const QString kOpenFilter = "All Files (*);;PDDX (*.DDX *.ddx);;Dynatest F25 (*.F25 *.f25);;Dynatest F20 or FWD (*.F20 *.f20 *.FWD *.fwd);;"
                            "Carl Bro FWD (*.TXT *.txt);;Carl Bro INI (*.TXT *.txt);;JILS DAT (*.DAT *.dat);;JILS Setup.Par (*.PAR *.par);;"
                            "KUAB FWD (*.FWD *.fwd);;KUAB FVO.INI (*.INI *.ini);;JILS CFG (*.CFG *.cfg)";

// What pressing a button of the open dialog asked and said. A format added to the table after these
// adds its entry to the end of the filter; it is cut off, so that this test keeps to the formats above.
QString PressInDialog(Program& program, const char* name, const QString& reply)
{
    QString asked = program.Press(program.main.Dialog(), name, reply);
    const qsizetype at = asked.indexOf(kOpenFilter);
    if (at >= 0) {
        const qsizetype from = at + kOpenFilter.size(), end = asked.indexOf('\n', from);
        const QString added = asked.mid(from, end < 0 ? -1 : end - from);
        if (added.startsWith(";;")) asked.remove(from, added.size());
    }
    return asked;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A review window as the user sees it: title, output name, sources, and "unsaved" while the
// "Data Not Saved" label shows and the title has its mark ("half" when only one of them says so).
QString Seen(ReviewWindow& review)
{
    const bool label = review.findChild<QLabel*>("lblStatus")->isVisible();
    return QString(review.windowTitle()).remove("[*]") + "|" + review.OutputName() + "|" +
           review.findChild<QPlainTextEdit*>("txtSource")->toPlainText() +
           (label && review.isWindowModified() ? "|unsaved" : label || review.isWindowModified() ? "|half" : "");
}

// A file opened in a window of its own reads the same whatever was opened before it, and leaves
// the settings as they were; a line the reader gave up is listed below the grid.
TEST(DesktopWorkflow, EachOpenedFileReadsAsIfItWereTheFirstAndListsItsWarnings)
{
    const auto text = [](const PDDXFile& document) {
        std::ostringstream out;
        document.WriteText(out);
        return out.str();
    };
    const std::filesystem::path examples = VANTREL_EXAMPLES;
    Program alone, after;
    for (Program* program : {&alone, &after}) {
        for (const char* name : {"kuab/us.FWD", "jils-dat/short.DAT"})
            std::filesystem::copy_file(examples / name, program->folder / std::filesystem::path(name).filename());
        WriteBytes(program->folder / "bad.F25", CrLf({"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0"}));
        program->state.Settings.NumSensors = 7;  // the JILS file's
    }
    ASSERT_TRUE(after.main.Dialog().OpenNamed(after.Path("us.FWD"), FileType::KuabFwd));
    ASSERT_TRUE(after.main.Dialog().OpenNamed(after.Path("short.DAT"), FileType::JilsDat));
    ASSERT_TRUE(alone.main.Dialog().OpenNamed(alone.Path("short.DAT"), FileType::JilsDat));
    // The file name differs with the folder; everything else is the same.
    EXPECT_EQ(ReplaceAll(text(*after.main.ReviewWindows().value(1)->PDDXDataSet()), after.Path().toStdString(), ""),
              ReplaceAll(text(*alone.main.ReviewWindows().value(0)->PDDXDataSet()), alone.Path().toStdString(), ""));
    EXPECT_EQ(after.state.Settings.NumSensors, 7) << "a reader changed a setting";

    // When the list shows is DetectionQuestion's test.
    ASSERT_TRUE(alone.main.Dialog().OpenNamed(alone.Path("bad.F25"), FileType::DynatestF25));
    const QTreeWidgetItem& warning = *alone.main.ReviewWindows().value(1)->Findings()->List()->topLevelItem(0);
    EXPECT_EQ(warning.text(0) + "|" + warning.text(1) + "|" + warning.text(2), "Read|bad.F25:2|\"y\" is not a number; the rest of the line was skipped");
    EXPECT_EQ(warning.toolTip(2), alone.Path("bad.F25") + ":2: \"y\" is not a number; the rest of the line was skipped");
}

TEST(DesktopWorkflow, OpenDialogShowsTheStoredTypeKeepsItsChoiceAndWarnsOfAFileItCannotConvert)
{
    Program program;
    program.state.Settings.Type = FileType::KuabFwd;
    program.main.OpenFile();
    OpenDialog* dialog = &program.main.Dialog();
    EXPECT_TRUE(dialog->Option("optKUABFWD")->isChecked());
    dialog->Option("optPDDXHistory")->click();
    EXPECT_EQ(program.state.CurrentType, FileType::KuabFwd);
    // Closing its window ends it; the next one loads the stored type again, and a type with no
    // option leaves F25 shown and the type in use alone.
    program.state.Settings.Type = FileType::CarlBroHistory;
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    program.main.OpenFile();
    EXPECT_TRUE(program.main.Dialog().Option("optF25")->isChecked() && program.state.CurrentType == FileType::KuabFwd);

    // A file that cannot be converted is named in a warning, and the dialog stays for another.
    // Type, file, its content (none: missing), the warning's start (%1: the file).
    const std::tuple<FileType, const char*, const char*, const char*> cases[] = {
        {FileType::DynatestF25, "gone.F25", nullptr, "Could not convert %1: "},
        {FileType::DynatestF20, "bad.F20", "garbage line\r\n", "Could not convert %1\nLine 1: "},
        {FileType::CarlBroHistory, "h.F25", "", "unknown file type"}};  // a type with no reader
    for (const auto& [type, name, content, warning] : cases) {
        if (content) WriteBytes(program.folder / name, content);
        program.state.CurrentType = type;
        const QString asked = PressInDialog(program, "cmdBrowse", program.Path(name));
        EXPECT_TRUE(asked.section('\n', 1).startsWith("Warn|Vantrel|" + QString(warning).replace("%1", program.Path(name)))) << asked.toStdString();
        EXPECT_TRUE(program.main.Dialog().isVisible() && program.main.ReviewWindows().isEmpty()) << name;
    }
}

TEST(DesktopWorkflow, BatchConvertsEveryFileOfTheExtensionBesideItShowsItsProgressStopsAtCancelOrTheFirstFailureAndSumsUp)
{
    Program program;
    for (const char* name : {"data/A.FWD", "data/b.fwd", "data/FWDLIST.FWD", "data/C.DAT", "run/1.FWD", "run/2.FWD", "run/3.FWD"})
        program.WritePddx(name, name);
    program.main.OpenFile();
    program.Press(program.main.Dialog(), "optPDDX");
    // The named files in byte order, the order the batch goes through them; listed by their names
    // or by their outputs.
    const auto listed = [&](const char*, const std::set<std::string>& names) {
        return std::vector<std::string>(names.begin(), names.end());
    };
    // Listed by name, whatever order the folder gives them in.
    const auto bullets = [](const std::vector<std::string>& names, std::size_t from, std::size_t to, bool outputs) {
        QStringList lines;
        for (std::size_t i = from; i < to; ++i)
            lines << QString("     ") + QChar(0x2022) + " " + Q(outputs ? std::filesystem::path(names[i]).stem().string() + "cvt.DDX" : names[i]);
        std::sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        return lines.join('\n');
    };
    const std::vector<std::string> data = listed("data", {"A.FWD", "b.fwd", "FWDLIST.FWD"}), files = listed("run", {"1.FWD", "2.FWD", "3.FWD"});
    // What a batch asks: the file to start from, then whether to convert its files.
    const auto asks = [&](const QString& start, const std::vector<std::string>& names, const char* folder) {
        return "Open|Find PDDX File in Directory to be Processed|" + start + "|" + kOpenFilter +
               "\nList|Batch Processing of FWD Files|The following files were found with the same extension. \n3 files in " + program.Path(folder) + "|" +
               bullets(names, 0, names.size(), false) + "| Do you wish to convert all of the files to PDDX Standard?\n\nClick <Yes> to continue or <No> to cancel...";
    };
    const auto run = [&](std::size_t i, const char* suffix) {
        return Q((program.folder / "run" / (std::filesystem::path(files[i]).stem().string() + suffix)).string());
    };
    EXPECT_EQ(PressInDialog(program, "cmdBatch", program.Path("data/A.FWD")), asks(program.Path(), data, "data"));
    EXPECT_FALSE(std::filesystem::exists(program.folder / "data/Acvt.DDX")) << "answered No";
    program.prompts.answer = QMessageBox::Yes;
    EXPECT_EQ(PressInDialog(program, "cmdBatch", program.Path("data/A.FWD")),
              asks(program.Path("data"), data, "data") + "\nList|Batch Processing of FWD Files|3 of 3 files converted.\n\nWritten: 3|Written:\n" + bullets(data, 0, 3, true) + "|");
    EXPECT_TRUE(Contains(ReadBytes(program.folder / "data/Acvt.DDX"), "DeviceSerialNumber = data/A.FWD\r\n") &&
                Contains(ReadBytes(program.folder / "data/bcvt.DDX"), "DeviceSerialNumber = data/b.fwd\r\n"));
    EXPECT_TRUE(program.state.WorkingInputPath == (program.folder / "data").string() && program.main.ReviewWindows().isEmpty());

    // Cancel pressed while the second file is converted (the file box names it as it starts) stops
    // the batch there; what a stop leaves on disk is BatchStop's test.
    ASSERT_EQ(files.size(), 3);
    QString shown;
    const QMetaObject::Connection cancel = QObject::connect(program.main.Dialog().FilenameBox(), &QLineEdit::textChanged, [&](const QString& text) {
        if (text != run(1, ".FWD")) return;
        auto* progress = program.main.Dialog().findChild<QProgressDialog*>("dlgBatchProgress");
        ASSERT_TRUE(progress && progress->isVisible());
        shown = progress->labelText() + "|" + QString::number(progress->value()) + "/" + QString::number(progress->maximum());
        progress->findChild<QPushButton*>()->click();
    });
    EXPECT_EQ(PressInDialog(program, "cmdBatch", program.Path("run/1.FWD")),
              asks(program.Path("data"), files, "run") + "\nList|Batch Processing of FWD Files|1 of 3 files converted (cancelled).\n\nWritten: 1, not tried: 2|Not tried:\n" +
                  bullets(files, 1, 3, false) + "\n\nWritten:\n" + bullets(files, 0, 1, true) + "|");
    QObject::disconnect(cancel);
    EXPECT_EQ(shown, "File 2 of 3:\n" + Q(files[1]) + "|1/3");

    // The second output cannot be created: the first stays written, the third is never tried, and
    // the file box shows where it stopped.
    QFile::remove(run(0, "cvt.DDX"));
    QDir().mkpath(run(1, "cvt.DDX"));
    const QString failed = PressInDialog(program, "cmdBatch", program.Path("run/1.FWD"));
    EXPECT_EQ(failed, asks(program.Path("run"), files, "run") + "\nList|Batch Processing of FWD Files|1 of 3 files converted.\n\nFailed: " + Q(files[1]) + "\nUnable to create file " + run(1, "cvt.DDX") +
                          ": it is a folder\n\nWritten: 1, not tried: 1|Not tried:\n" + bullets(files, 2, 3, false) + "\n\nWritten:\n" + bullets(files, 0, 1, true) + "|");
    EXPECT_TRUE(QFile::exists(run(0, "cvt.DDX")) && !QFile::exists(run(2, "cvt.DDX")));
    EXPECT_EQ(program.main.Dialog().FilenameBox()->text(), run(1, ".FWD"));
}

TEST(DesktopWorkflow, BlankDocumentGetsTestLocationsWithTheDropsAskedForAndIsWritten)
{
    Program program;
    ReviewWindow& review = program.Blank();
    ReviewGrid& grid = *review.Grid();
    EXPECT_FALSE(program.main.Dialog().isVisible());
    // Nothing is flagged in a blank document.
    EXPECT_EQ(Seen(review) + "|" + Cell(grid, "Device Configuration", "LoadPlateRadius"), "BlankPDDX.DDX|BlankPDDX.DDX|BlankPDDX.DDX|unsaved|");
    // The answer is read as a 16-bit whole number of drops; anything else gives none.
    const std::pair<const char*, int> answers[] = {{"3", 3}, {" 2.6 ", 3}, {"many", 0}, {"40000", 0}, {"-2", 0}, {"", 0}};
    for (int number = 1; const auto& [answer, drops] : answers) {
        const QString location = "Test Location " + QString::number(number++);
        EXPECT_EQ(program.Press(review, "cmdAddSection", answer), "Input|Input Number of Drops|How many drops are associated with " + location);
        EXPECT_EQ(Cell(grid, location, "NumberOfDrops"), QString::number(drops)) << answer;
        EXPECT_TRUE((drops == 0 || Row(grid, location, "DropData_" + QString::number(drops))) &&
                    !Row(grid, location, "DropData_" + QString::number(drops + 1))) << answer;
    }
    review.PDDXDataSet()->Element("Test Location 1", "DropData_2").SetValue("40, 300");
    EXPECT_EQ(program.Press(review, "cmdWrite", program.Path("blank.DDX")), "Save|Save As|BlankPDDX.DDX|PDDX Data Files (*.DDX)");
    const std::string written = ReadBytes(program.folder / "blank.DDX");
    EXPECT_TRUE(Contains(written, "NumberOfTestLocations = 6\r\n") && Contains(written, "[Test Location 6]\r\nNumberOfDrops = 0\r\n"));
    EXPECT_TRUE(Contains(written, "[Test Location 1]\r\nNumberOfDrops = 3\r\n") && Contains(written, "DropData_2 = 40, 300\r\n"));
    EXPECT_FALSE(Seen(review).endsWith("unsaved"));
}

TEST(DesktopWorkflow, SettingsOkKeepsTheChoicesCancelRestoresTheStoredOnesAndTheNextStartFindsThem)
{
    Program program;
    program.main.Configure();
    SettingsWindow& window = *program.main.Configuration();
    const auto text = [&](const char* name) { return window.findChild<QLineEdit*>(name)->text(); };
    const auto jils = [&] { return !window.findChild<QWidget*>("fraJILSDefaults")->isHidden(); };
    auto* count = window.findChild<QComboBox*>("cboJILSNumSensors");
    EXPECT_TRUE(text("txtInputPath") == program.Path() && !jils());
    // JILS chosen without a count stores five sensors and the usual plate.
    program.Press(window, "optJils");
    program.Press(window, "cmdOK");
    EXPECT_TRUE(program.state.Settings.NumSensors == 5 && program.state.Settings.LoadPlateRadius == "6");

    program.main.Configure();
    EXPECT_EQ(program.Press(window, "cmdBrowseInput", "/data/fwd") + "|" + program.Press(window, "cmdBrowseHistory"),
              "Folder|Select folder where input data files are located.|Folder|Select folder where history files are located.");
    EXPECT_EQ(text("txtInputPath") + "|" + text("txtHistoryPath"), "/data/fwd|" + program.Path()) << "a cancelled chooser changes nothing";
    EXPECT_TRUE(jils() && count->currentIndex() == -1);
    count->setCurrentIndex(3);
    emit count->activated(3);
    EXPECT_EQ(text("txtJILSXAxis") + "|" + text("txtJILSYAxis"), "0, 8, 12, 18, 24, 36, 48, 60,-12|0, 0, 0, 0, 0, 0, 0, 0,  0");
    program.Press(window, "cmdOK");
    EXPECT_TRUE(!window.isVisible() && program.state.WorkingInputPath == "/data/fwd") << "the next chooser starts in the new default folder";

    program.main.Configure();
    window.findChild<QLineEdit*>("txtInputPath")->setText("/elsewhere");
    window.findChild<QLineEdit*>("txtJILSXAxis")->setText("1, 2");
    program.Press(window, "optKUABFWD");
    program.Press(window, "cmdCancel");
    EXPECT_EQ(text("txtInputPath") + "|" + text("txtJILSXAxis"), "/data/fwd|0, 8, 12, 18, 24, 36, 48, 60,-12");
    EXPECT_TRUE(window.SelectedFileType() == FileType::JilsDat && jils());

    ASSERT_TRUE(program.main.close());
    ProgramState next = NewProgramState(program.folder.Path());
    LoadSettings(next, false, std::cerr);
    EXPECT_EQ(next.Settings.InputPath + "|" + std::to_string(CodeOf(next.Settings.Type)) + "|" + std::to_string(next.Settings.NumSensors) +
                  "|" + next.Settings.SensorYAxis, "/data/fwd|6|9|0, 0, 0, 0, 0, 0, 0, 0,  0");
}

}  // namespace
}  // namespace vantrel
