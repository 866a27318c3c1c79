// The plots as an engineer reads them: basins drawn from offset to offset, a colour and markers on
// every line, the current drop bolder, numbers read as everywhere else; and Save Plot writing a PNG
// or SVG file, or warning.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QRegularExpression>
#include <QSet>

#include "core/Check.h"
#include "gui/review/PlotPanel.h"
#include "gui/review/ReviewWindow.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// One test location of three drops from five sensors whose offsets are not in sensor order; drop 2
// has a time history of the load and the five sensors.
std::unique_ptr<PDDXFile> Basins()
{
    auto document = std::make_unique<PDDXFile>();
    PDDXFile& basins = *document;
    basins.Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 200, -300, 450, 900");
    basins.Element("Units", "DeflectionUnits").SetValue("micron");
    basins.Element("Units", "LoadUnits").SetValue("kN");
    basins.Element("Deflection Data", "DropHistoryDataFrequency").SetValue("2000");
    PDDXSection& location = basins.AddTestLocation();
    for (int drop = 1; drop <= 3; ++drop) location.AddDropData().SetValue(std::to_string(40 + drop) + ", 500, 300, 250, 150, 60");
    for (int sample = 1; sample <= 3; ++sample) location.AddHistoryData(2, sample).SetValue(std::to_string(500 * sample) + ", 8, 7, 6, 5, 4");
    return document;
}

QList<QLineSeries*> Lines(const QChart& chart)
{
    QList<QLineSeries*> lines;
    for (QAbstractSeries* series : chart.series()) lines << static_cast<QLineSeries*>(series);
    return lines;
}

TEST(PlotPanel, LinesGoByOffsetWithMarkersAColourEachAndTheCurrentDropBolder)
{
    const std::unique_ptr<PDDXFile> basins = Basins();
    const PDDXFile& document = *basins;
    PlotPanel plots;
    // The element the grid makes current, then the drop drawn bolder.
    const std::tuple<const char*, int> steps[] = {{"DropData_2", 2}, {"DropData_3", 3}, {"DropHistoryData_2_3", 2}};
    for (const auto& [handle, current] : steps) {
        SCOPED_TRACE(handle);
        plots.Follow(document, &document.Element("Test Location 1", handle));
        const QList<QLineSeries*> basin = Lines(*plots.Basin());
        ASSERT_EQ(basin.size(), 3);
        EXPECT_EQ(basin[0]->points(), QList<QPointF>({{-300, 250}, {0, 500}, {200, 300}, {450, 150}, {900, 60}}));
        ASSERT_EQ(Lines(*plots.History()).size(), 6) << "the load and five sensors";
        for (const QChart* chart : {plots.Basin(), plots.History()}) {
            QSet<QRgb> colours;
            for (const QLineSeries* line : Lines(*chart)) {
                colours << line->pen().color().rgb();
                EXPECT_TRUE(line->pointsVisible()) << line->name().toStdString();
            }
            EXPECT_EQ(colours.size(), chart->series().size()) << "no two lines share a colour";
        }
        const double other = basin[current % 3]->pen().widthF();  // a drop other than the current one
        for (int drop = 1; drop <= 3; ++drop) EXPECT_EQ(basin[drop - 1]->pen().widthF() > other, drop == current) << drop;
    }
}

TEST(PlotPanel, ReadsANumberAsCheckAndTheReadersDo)
{
    // Each text a deflection of sensor k at offset k: plotted, and not found "not a number" by
    // check, exactly where the program's number parser reads it (the parser's own test has these).
    const std::pair<const char*, std::optional<double>> texts[] = {
        {"+5", 5}, {" 7 ", 7}, {"-2.5e1", -25}, {"nan", {}}, {"inf", {}}, {"-Infinity", {}}, {"0x10", {}}, {"+-5", {}}};
    PDDXFile document;
    std::string offsets, drop = "40";
    QList<QPointF> read;
    for (std::size_t k = 1; k <= std::size(texts); ++k) {
        const auto& [text, value] = texts[k - 1];
        offsets += (k > 1 ? ", " : "") + std::to_string(k);
        drop += std::string(", ") + text;
        if (value) read << QPointF(static_cast<double>(k), *value);
    }
    document.Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue(offsets);
    document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(std::to_string(std::size(texts)));
    document.AddTestLocation().AddDropData().SetValue(drop);
    PlotPanel plots;
    plots.Plot(document, "Test Location 1", 1);
    EXPECT_EQ(Lines(*plots.Basin()).value(0)->points(), read);
    QStringList notNumbers;
    CheckDocument(document, [&](const Finding& finding) {
        if (finding.Key == "DropData_1") notNumbers << QString::fromStdString(finding.Message);
    });
    QStringList expected;
    for (std::size_t k = 1; k <= std::size(texts); ++k)
        if (!texts[k - 1].second) expected << QString("item %1, \"%2\", is not a number").arg(k + 1).arg(texts[k - 1].first);
    EXPECT_EQ(notNumbers, expected);
}

TEST(PlotPanel, NormalisedBasinsAreScaledToTheLoadAskedFromForcesOrPressuresOnThePlate)
{
    // Drops 1 and 2 of Basins() fall with loads 41 and 42, drop 3's load is made 0; D1 is 500 and
    // D2 300. Worked by hand for 40 kN: in kN, 500 * 40 / 41 = 487.805 and 300 * 40 / 42 = 285.714;
    // in kPa on a 150 mm plate, 41 kPa * pi * 0.15^2 m^2 = 2.898119 kN, so 500 * 40 / 2.898119 =
    // 6901.03, and 42 kPa = 2.968805 kN, 300 * 40 / 2.968805 = 4042.03. Without a plate radius a
    // pressure gives no force: the basins stay as measured.
    struct Case {
        const char* units;
        const char* radius;
        std::optional<double> load;
        const char* title;
        int lines;
        double drop1D1, drop2D2;
    };
    const Case cases[] = {
        {"kN", "", std::nullopt, "Test Location 1: deflection basin", 3, 500, 300},
        {"kN", "", 40, "Test Location 1: deflection basin at 40 kN", 2, 487.805, 285.714},
        {"kilo-Newton", "", 80, "Test Location 1: deflection basin at 80 kN", 2, 975.610, 571.429},
        {"kPa", "150", 40, "Test Location 1: deflection basin at 40 kN", 2, 6901.03, 4042.03},
        {"kPa", "", 40, "Test Location 1: deflection basin, not normalised", 3, 500, 300},
        {"furlong", "150", 40, "Test Location 1: deflection basin, not normalised", 3, 500, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.units) + " " + c.radius);
        const std::unique_ptr<PDDXFile> basins = Basins();
        basins->Element("Units", "LoadUnits").SetValue(c.units);
        basins->Element("Units", "LoadPlateRadiusUnits").SetValue("mm");
        basins->Element("Device Configuration", "LoadPlateRadius").SetValue(c.radius);
        basins->Element("Test Location 1", "DropData_3").SetValue("0, 500, 300, 250, 150, 60");
        PlotPanel plots;
        int changed = 0;
        QObject::connect(&plots, &PlotPanel::Changed, [&] { ++changed; });
        plots.SetNormalLoad(c.load);
        EXPECT_EQ(changed, c.load ? 1 : 0) << "asks to be plotted again";
        EXPECT_EQ(plots.NormaliseBox()->isChecked(), c.load.has_value());
        plots.Plot(*basins, "Test Location 1", 1);
        EXPECT_EQ(plots.Basin()->title(), c.title);
        const QList<QLineSeries*> lines = Lines(*plots.Basin());
        ASSERT_EQ(lines.size(), c.lines) << "a drop without a positive load is left out of normalised basins";
        EXPECT_NEAR(lines[0]->at(1).y(), c.drop1D1, 0.01) << "D1 of drop 1, at offset 0";
        EXPECT_NEAR(lines[1]->at(2).y(), c.drop2D2, 0.01) << "D2 of drop 2, at offset 200";
        EXPECT_EQ(lines[0]->at(1).x(), 0);
    }
}

TEST(PlotPanel, TheReviewWindowPlotsAgainWhenTheNormalLoadChanges)
{
    Program program;
    ReviewWindow& review = program.Review(std::shared_ptr<PDDXFile>(Basins()), "basins.pdx");
    review.ShowPlots(true);
    QChart& basin = *review.Plots()->Basin();
    ASSERT_EQ(basin.title(), "Test Location 1: deflection basin");
    // Clicked as a user clicks it, then the value typed into the box.
    QTest::mouseClick(review.Plots()->NormaliseBox(), Qt::LeftButton, {}, QPoint(4, review.Plots()->NormaliseBox()->height() / 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return basin.title() == "Test Location 1: deflection basin at 40 kN"; })) << basin.title().toStdString();
    auto& load = *review.Plots()->findChild<QDoubleSpinBox*>("spnNormalLoad");
    load.setValue(50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return basin.title() == "Test Location 1: deflection basin at 50 kN"; })) << basin.title().toStdString();
    EXPECT_NEAR(Lines(basin)[0]->at(1).y(), 500 * 50 / 41.0, 1e-9);
}

TEST(PlotPanel, AtItsSmallestSizeEveryAxisTitleAndNumberShowsWholeAndTheLegendMakesWay)
{
    const std::unique_ptr<PDDXFile> basins = Basins();
    PlotPanel plots;
    plots.Plot(*basins, "Test Location 1", 2);
    plots.show();
    // The panel's size, then whether the legends show.
    const std::tuple<QSize, bool> sizes[] = {{QSize(1, 1), false}, {QSize(700, 600), true}};
    for (const auto& [size, legend] : sizes) {
        plots.resize(size);
        // A window manager applies the new size in its own time.
        (void)QTest::qWaitFor([&] { return plots.size() == size.expandedTo(plots.minimumSizeHint()); }, 5000);
        QApplication::processEvents();
        for (QChartView* view : {plots.BasinView(), plots.HistoryView()}) {
            SCOPED_TRACE(view->objectName().toStdString() + " " + std::to_string(size.width()));
            EXPECT_TRUE(legend || view->size() == view->minimumSize());
            EXPECT_EQ(view->chart()->legend()->isVisible(), legend);
            QStringList shown;
            for (const QGraphicsItem* item : view->scene()->items())
                if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisible()) shown << text->toPlainText();
            for (const QAbstractAxis* axis : view->chart()->axes()) EXPECT_TRUE(shown.contains(axis->titleText())) << axis->titleText().toStdString();
            for (const QString& text : shown) EXPECT_TRUE(!text.endsWith("...") || view->chart()->title().startsWith(text.chopped(3))) << text.toStdString();
        }
    }
}

// The axis titles a plot shows: each of its axes once, and nothing of the axes it had before.
TEST(PlotPanel, EachPlotDrawsOneSetOfAxesHoweverOftenAndAtWhateverSizeItIsDrawn)
{
    const std::unique_ptr<PDDXFile> basins = Basins();
    PDDXFile& document = *basins;
    PlotPanel plots;
    plots.show();
    // The sensor offsets, the panel's size and the drop plotted, in turn.
    const std::tuple<const char*, QSize, int> steps[] = {
        {"0, 200, -300, 450, 900", {700, 600}, 2}, {"", {520, 260}, 2}, {"", {900, 700}, 1},
        {"0, 200, -300, 450, 900", {530, 250}, 3}, {"0, 200, -300, 450, 900", {1200, 800}, 2}};
    for (const auto& [offsets, size, drop] : steps) {
        SCOPED_TRACE(std::to_string(size.width()) + " " + offsets);
        document.Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue(offsets);
        plots.resize(size);
        QApplication::processEvents();
        plots.Plot(document, "Test Location 1", drop);
        QApplication::processEvents();
        for (QChartView* view : {plots.BasinView(), plots.HistoryView()}) {
            QStringList titles, shown;
            for (const QAbstractAxis* axis : view->chart()->axes())
                if (axis->isVisible()) titles << axis->titleText();
            for (const QGraphicsItem* item : view->scene()->items())
                if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisibleTo(nullptr))
                    if (QRegularExpression("^(Sensor|Deflection|Time|Load|Sample)").match(text->toPlainText()).hasMatch() && text->toPlainText() != "Load")
                        shown << text->toPlainText();  // an axis's title, not the legend's "Load"
            titles.sort();
            shown.sort();
            EXPECT_EQ(shown, titles) << view->objectName().toStdString();
        }
    }
}

TEST(PlotPanel, SavePlotWritesAPngOrSvgFileByItsNameOrWarns)
{
    const std::unique_ptr<PDDXFile> basins = Basins();
    const PDDXFile& document = *basins;
    ScriptedPrompts prompts;
    PlotPanel plots;
    Prompts table = prompts.Table();
    plots.SetPrompts(table);
    plots.resize(700, 400);
    plots.show();
    plots.Plot(document, "Test Location 1", 2);
    TempDir folder;
    // The name chosen, then how the file written starts ("": none written, a warning instead).
    const std::tuple<const char*, std::string> cases[] = {
        {"basin.png", "\x89PNG"}, {"basin.svg", "<?xml"}, {"missing/basin.png", ""}, {"basin.jpg", ""}};
    for (const auto& [name, start] : cases) {
        SCOPED_TRACE(name);
        prompts.log.clear();
        prompts.reply = Q((folder / name).string());
        for (QChartView* view : {plots.BasinView(), plots.HistoryView()}) {
            QAction* save = view->findChild<QAction*>("actSavePlot");
            ASSERT_TRUE(save && view->actions().contains(save) && view->contextMenuPolicy() == Qt::ActionsContextMenu);
            std::filesystem::remove(folder / name);
            save->trigger();
            EXPECT_EQ(prompts.log.value(0).section('|', 0, 1), "Save|Save Plot");
            EXPECT_EQ(prompts.log.value(1).startsWith("Warn|"), start.empty());
            EXPECT_EQ(std::filesystem::exists(folder / name) ? ReadBytes(folder / name).substr(0, start.size()) : "", start);
            prompts.log.clear();
        }
    }
    // Nothing but the files asked for: no temporary file left behind.
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"basin.png", "basin.svg"}));
}

}  // namespace
}  // namespace vantrel
