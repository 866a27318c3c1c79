// File > Export Drops and File > Merge File: what they write and read for the active review
// window, and that they are off while there is none.
#include <algorithm>

#include "gui/NativeName.h"
#include "import/FileFormats.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

QAction* Command(Program& program, const char* name)
{
    emit program.main.findChild<QMenu*>("FileMenu")->aboutToShow();
    return program.main.findChild<QAction*>(name);
}

// One location of one drop, with units and a lane the table must quote.
ReviewWindow& OpenTiny(Program& program)
{
    PDDXFile document;
    document.Element("Units", "LoadUnits").SetValue("kilo-Newton");
    document.Element("Units", "DeflectionUnits").SetValue("micron");
    PDDXSection& location = document.AddTestLocation();
    location.Elements().Find("TestLocation")->SetValue("120");
    location.Elements().Find("TestLane")->SetValue("L1, north");
    location.AddDropData().SetValue("50.2, 400, 330");
    WriteDocument(document, (program.folder / "tiny.pdx").string());
    EXPECT_TRUE(program.main.Dialog().OpenNamed(program.Path("tiny.pdx"), FileType::PDDX));
    EXPECT_TRUE(Activate(program.main));
    return *program.main.ReviewWindows().back();
}

std::vector<std::string> Names(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MenuCommands, ExportDropsWritesTheCommandLinesTableOrWarnsAndLeavesNothing)
{
    Program program;
    OpenTiny(program);
    const std::string tiny = ReadBytes(program.folder / "tiny.pdx");
    const std::vector<std::string> before = Names(program.folder.Path());
    const QString asked = "Save|Export Drops|" + program.Path("tiny.csv") + "|CSV Files (*.csv)";
    const std::string table =
        "file,location,drop,station,lane,location_date,time,temperatures,load,D1,D2,load_units,deflection_units\r\n"
        "tiny.pdx,1,1,120,\"L1, north\",,,,50.2,400,330,kilo-Newton,micron\r\n";
    // The name chosen; the questions asked after the chooser's; the file it names afterwards
    // ("-" for none).
    const std::tuple<QString, QString, std::string> cases[] = {
        {"", "", "-"},  // cancelled
        {program.Path("missing/drops.csv"), "Warn|Vantrel|Unable to create file " + program.Path("missing/drops.csv"), "-"},
        {program.Path("tiny.pdx"), "Warn|Vantrel|" + program.Path("tiny.pdx") + ": the export would replace the input " + program.Path("tiny.pdx"), tiny},
        {program.Path("drops.csv"), "", table}};
    for (const auto& [chosen, warned, written] : cases) {
        QAction* exportDrops = Command(program, "FileExportDrops");
        ASSERT_TRUE(exportDrops && exportDrops->isEnabled());
        const qsizetype from = program.prompts.log.size();
        program.prompts.reply = chosen;
        exportDrops->trigger();
        const QStringList log = program.prompts.log.mid(from);
        ASSERT_FALSE(log.isEmpty());
        EXPECT_EQ(log.front(), asked);
        EXPECT_EQ(log.value(1).left(warned.size()), warned);
        EXPECT_EQ(log.size(), warned.isEmpty() ? 1 : 2);
        const std::filesystem::path target = NativeName(chosen);
        EXPECT_EQ(std::filesystem::exists(target) ? ReadBytes(target) : "-", chosen.isEmpty() ? "-" : written);
        if (target.filename() != "drops.csv") {
            EXPECT_EQ(Names(program.folder.Path()), before) << "a file left behind";
        }
    }
}

TEST(MenuCommands, MergeFileOpensTheDialogInAppendModeForTheActiveWindowAndBothAreOffWithoutOne)
{
    Program program;
    EXPECT_FALSE(Command(program, "FileMerge")->isEnabled());
    EXPECT_FALSE(Command(program, "FileExportDrops")->isEnabled());
    program.main.ExportDrops();
    program.main.MergeFile();
    EXPECT_TRUE(program.prompts.log.isEmpty() && !program.main.findChild<OpenDialog*>());

    ReviewWindow& review = OpenTiny(program);
    ReviewGrid& grid = *review.Grid();
    const auto sources = [&] { return review.findChild<QPlainTextEdit*>("txtSource")->toPlainText(); };
    EXPECT_EQ(Cell(grid, "Device Configuration", "LoadPlateRadius") + "|" + review.OutputName(),
              "*|" + program.Path("tiny.DDX"));
    WriteBytes(program.folder / "second.pdx", "[Device Configuration]\r\nLoadPlateRadius = 150\r\n");
    program.Press(review, "cmdWrite", program.Path("tiny.DDX"));  // so that only a merge makes it unsaved
    QAction* merge = Command(program, "FileMerge");
    ASSERT_TRUE(merge->isEnabled());
    merge->trigger();
    OpenDialog& dialog = program.main.Dialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.CurrentPurpose(), OpenDialog::Purpose::Merge);
    // A type with no reader reads nothing: the window stays as it was and the dialog stays up.
    program.state.CurrentType = FileType::CarlBroHistory;
    const QString asked = program.Press(dialog, "cmdBrowse", program.Path("second.pdx"));
    EXPECT_TRUE(asked.endsWith("\nWarn|Vantrel|unknown file type")) << asked.toStdString();
    EXPECT_TRUE(dialog.isVisible() && !review.DataChanged() && sources() == program.Path("tiny.pdx"));
    const std::shared_ptr<PDDXFile> document = review.PDDXDataSet();
    program.state.CurrentType = FileType::PDDX;
    program.Press(dialog, "cmdBrowse", program.Path("second.pdx"));
    ASSERT_TRUE(program.main.ReviewWindows().size() == 1 && review.PDDXDataSet() == document);
    EXPECT_EQ(sources(), program.Path("tiny.pdx") + "\n" + program.Path("second.pdx"));
    EXPECT_EQ(Cell(grid, "Device Configuration", "LoadPlateRadius"), "150");
    EXPECT_EQ(Cell(grid, "Test Location 1", "DropData_1"), "50.2, 400, 330");
    EXPECT_TRUE(review.DataChanged());

    // Written, the window closes without a question, and takes the commands with it.
    program.Press(review, "cmdWrite", program.Path("tiny.DDX"));
    ASSERT_TRUE(review.parentWidget()->close());
    EXPECT_TRUE(program.prompts.log.back().startsWith("Save|")) << "asked on closing a written window";
    EXPECT_FALSE(Command(program, "FileMerge")->isEnabled());
    EXPECT_FALSE(Command(program, "FileExportDrops")->isEnabled());
}

}  // namespace
}  // namespace vantrel
