// File > Export Drops and File > Merge File: what they write and read for the active review
// window, and that they are off while there is none.
#include <algorithm>

#include "gui/ExportDialog.h"
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
        ASSERT_EQ(log.value(0), "Export");
        EXPECT_EQ(log.value(1), asked);
        EXPECT_EQ(log.value(2).left(warned.size()), warned);
        EXPECT_EQ(log.size(), warned.isEmpty() ? 2 : 3);
        const std::filesystem::path target = NativeName(chosen);
        EXPECT_EQ(std::filesystem::exists(target) ? ReadBytes(target) : "-", chosen.isEmpty() ? "-" : written);
        if (target.filename() != "drops.csv") {
            EXPECT_EQ(Names(program.folder.Path()), before) << "a file left behind";
        }
    }
}

// The desktop's export writes, byte for byte, what `vantrel export` writes with the same options
// (tests/data/export-options, whose tables were worked out by hand), and tells the same note.
TEST(MenuCommands, ExportDropsWithOptionsWritesWhatTheCommandLineWrites)
{
    Program program;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VANTREL_TEST_DATA) / "export-options"))
        std::filesystem::copy_file(entry.path(), program.folder / entry.path().filename());
    ExportOptions normalised;
    normalised.NormalLoad = 40;
    normalised.Indices = true;
    ExportOptions indices = normalised;
    indices.NormalLoad = 0;
    indices.Poisson = 0.4;
    indices.Tolerance = 200;
    ExportOptions histories;
    histories.Histories = true;
    ExportOptions map;
    map.GeoJson = true;
    // The file, the choices, the command line's options, the extension the chooser offers.
    const std::tuple<const char*, ExportOptions, std::vector<std::string>, const char*> cases[] = {
        {"i1.DDX", normalised, {"--normalise", "40", "--indices"}, ".csv"},
        {"i2.DDX", indices, {"--indices", "--poisson", "0.4", "--tolerance", "200"}, ".csv"},
        {"h.DDX", histories, {"--histories"}, ".csv"},
        {"g.DDX", map, {"--format", "geojson"}, ".geojson"}};
    ExportOptions offered;
    for (const auto& [file, options, args, extension] : cases) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(program.main.Dialog().OpenNamed(program.Path(file), FileType::PDDX));
        ASSERT_TRUE(Activate(program.main));
        program.prompts.exportChoice = options;
        program.prompts.reply = program.Path("desktop" + std::string(extension));
        const qsizetype from = program.prompts.log.size();
        Command(program, "FileExportDrops")->trigger();
        const QStringList log = program.prompts.log.mid(from);
        EXPECT_EQ(program.prompts.exportOffered.Histories, offered.Histories) << "the last choice offered again";
        EXPECT_EQ(program.prompts.exportOffered.NormalLoad, offered.NormalLoad);
        offered = options;
        ASSERT_GE(log.size(), 2);
        EXPECT_TRUE(log[1].startsWith("Save|Export Drops|" + program.Path(std::filesystem::path(file).stem().string() + extension)))
            << log[1].toStdString();
        std::vector<std::string> command = {"--settings", "none.bag", "export", "-t", "pddx", file, "-o", "cli.out"};
        command.insert(command.begin() + 3, args.begin(), args.end());
        const RunResult cli = RunVantrel(command, program.folder.Path());
        ASSERT_EQ(cli.status, 0) << cli.err;
        EXPECT_EQ(ReadBytes(program.folder / ("desktop" + std::string(extension))), ReadBytes(program.folder / "cli.out"));
        // The command line's note, without its "vantrel: " and "note: ".
        const std::string::size_type note = cli.err.find("note: ");
        const QString told = note == std::string::npos ? QString() : Q(std::string(file) + ": " + cli.err.substr(note + 6));
        EXPECT_EQ(log.value(2), told.isEmpty() ? "" : "Inform|Export Drops|" + told.trimmed());
    }
    // Cancelled, nothing is asked after the choices.
    program.prompts.exportChoice.reset();
    const qsizetype from = program.prompts.log.size();
    Command(program, "FileExportDrops")->trigger();
    EXPECT_EQ(program.prompts.log.mid(from), QStringList({"Export"}));
}

TEST(MenuCommands, TheExportChoicesAreMadeFromTheKeyboard)
{
    struct Case {
        const char* keys;
        bool accepted;
        ExportOptions options;
    };
    const auto with = [](auto change) {
        ExportOptions options;
        change(options);
        return options;
    };
    // Keys pressed from the dialog's first control; the options it then gives. Normalising and
    // indices are for the table of drops only, and their numbers are typed over the old ones.
    const Case cases[] = {
        {"Enter", true, {}},
        {"Alt+N Enter", true, with([](ExportOptions& o) { o.NormalLoad = 40; })},
        {"Alt+N Tab '50' Enter", true, with([](ExportOptions& o) { o.NormalLoad = 50; })},
        {"Alt+I Alt+P '0.3' Alt+T '100' Enter", true, with([](ExportOptions& o) { o.Indices = true; o.Poisson = 0.3; o.Tolerance = 100; })},
        {"Alt+N Alt+I Alt+H Enter", true, with([](ExportOptions& o) { o.Histories = true; })},
        {"Alt+M Alt+N Enter", true, with([](ExportOptions& o) { o.GeoJson = true; })},
        {"Alt+I Escape", false, with([](ExportOptions& o) { o.Indices = true; })}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        ExportDialog dialog;
        dialog.show();
        ASSERT_TRUE(Activate(dialog));
        bool accepted = false, rejected = false;
        QObject::connect(&dialog, &QDialog::accepted, [&] { accepted = true; });
        QObject::connect(&dialog, &QDialog::rejected, [&] { rejected = true; });
        PressKeys(c.keys);
        EXPECT_EQ(accepted, c.accepted);
        EXPECT_EQ(rejected, !c.accepted);
        const ExportOptions got = dialog.Options();
        EXPECT_EQ(got.NormalLoad, c.options.NormalLoad);
        EXPECT_EQ(got.Indices, c.options.Indices);
        EXPECT_EQ(got.Histories, c.options.Histories);
        EXPECT_EQ(got.GeoJson, c.options.GeoJson);
        EXPECT_DOUBLE_EQ(got.Poisson, c.options.Poisson);
        EXPECT_DOUBLE_EQ(got.Tolerance, c.options.Tolerance);
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
    EXPECT_TRUE(program.prompts.log.back().startsWith("Replace|" + program.Path("tiny.DDX"))) << "asked on closing a written window";
    EXPECT_FALSE(Command(program, "FileMerge")->isEnabled());
    EXPECT_FALSE(Command(program, "FileExportDrops")->isEnabled());
}

}  // namespace
}  // namespace vantrel
