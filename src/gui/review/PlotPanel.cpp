#include "gui/review/PlotPanel.h"

#include <QAction>
#include <QBoxLayout>
#include <QBuffer>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLineSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "core/Check.h"
#include "core/DropMeasures.h"
#include "gui/NativeName.h"

namespace vantrel {
namespace {

// Beyond this many lines, or in a smaller plot, a legend hides the plot rather than explains it.
constexpr int kLegendLines = 12;
constexpr QSize kLegendRoom(300, 240);
// The smallest plot whose axis titles and numbers all show whole.
constexpr QSize kSmallestPlot(250, 200);
// A line of more points (a time history of many samples) is a trace: marks would hide it.
constexpr int kMarkedPoints = 60;
// The pen of the current drop's line stands out from the others'.
constexpr double kPenWidth = 1.5;
constexpr double kCurrentPenWidth = 3.5;

// Line colours that tell apart on screen and on paper; the n-th line of a chart takes the n-th,
// and beyond them darker shades, so that no two lines of a chart look alike.
QColor LineColour(int index)
{
    static const QRgb palette[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
                                   0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};
    constexpr int count = std::size(palette);
    const QColor colour(palette[index % count]);
    return index < count ? colour : colour.darker(100 + 50 * (index / count));
}

// The numbers of a list value ("9000, 12.5, , 8.2"), read as every number of the program is:
// empty, unreadable or too large entries are gaps.
std::vector<std::optional<double>> Numbers(std::string_view text)
{
    std::vector<std::optional<double>> numbers;
    while (true) {
        const std::size_t comma = text.find(',');
        numbers.push_back(FiniteNumber(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return numbers;
}

// "DropHistoryData_3_2": drop 3, sample 2; false for any other handle.
bool HistoryNumbers(std::string_view handle, int& drop, int& sample)
{
    const std::size_t last = handle.rfind('_');
    if (last == std::string_view::npos) return false;
    const std::optional<int> d = NumberAfter(handle.substr(0, last), pddx::TestLocation::kDropHistoryDataPrefix);
    const std::optional<int> s = NumberAfter(handle.substr(last), "_");
    if (!d || !s) return false;
    drop = *d;
    sample = *s;
    return true;
}

std::string ValueOrEmpty(const PDDXFile& document, const SectionAndKey& name)
{
    try {
        return std::string(document.Element(name).Value());
    } catch (const std::out_of_range&) {
        return {};
    }
}

QFont Smaller(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setBold(false);
    return font;
}

QString WithUnit(const QString& title, const std::string& unit)
{
    return unit.empty() ? title : title + " (" + QString::fromLatin1(unit.c_str()) + ")";
}

// Lines on two axes, the ranges fitted to the points given.
class Lines {
public:
    Lines(QChart& chart, const QString& title, const QString& xTitle) : chart_(chart)
    {
        chart_.removeAllSeries();
        // The axes stay, hidden until used again: an axis taken out of a chart leaves its title
        // and numbers drawn where they were, under the next plot's.
        for (QAbstractAxis* axis : chart_.axes()) axis->setVisible(false);
        chart_.setTitle(title);
        x_ = Axis(xTitle, Qt::AlignBottom);
    }
    QValueAxis* Axis(const QString& title, Qt::Alignment side)
    {
        QValueAxis* axis = nullptr;
        for (QAbstractAxis* kept : chart_.axes())
            if (kept->alignment() == side) axis = static_cast<QValueAxis*>(kept);
        if (!axis) {
            axis = new QValueAxis;
            // Small print fits beside a small plot; plain numbers need no fixed decimals.
            axis->setTitleFont(Smaller(axis->titleFont()));
            axis->setLabelsFont(Smaller(axis->labelsFont()));
            axis->setLabelFormat("%g");
            chart_.addAxis(axis, side);
        }
        axis->setTitleText(title);
        axis->setReverse(false);
        axis->setVisible(true);
        return axis;
    }
    void Add(QLineSeries* series, QValueAxis* y, bool current = false)
    {
        if (series->count() == 0) {
            delete series;
            return;
        }
        chart_.addSeries(series);
        // After adding: the chart's theme would otherwise put its own colours on.
        QPen pen(LineColour(lines_), current ? kCurrentPenWidth : kPenWidth);
        series->setPen(pen);
        series->setPointsVisible(series->count() <= kMarkedPoints);
        series->setMarkerSize(current ? 8 : 5);
        series->attachAxis(x_);
        series->attachAxis(y);
        Fit(x_, series, &QPointF::x);
        Fit(y, series, &QPointF::y);
        ++lines_;
    }
    // Each axis's range spans its points, with round numbers at its ends.
    void Finish()
    {
        for (QAbstractAxis* axis : chart_.axes()) {
            if (!axis->isVisible()) continue;
            auto* value = static_cast<QValueAxis*>(axis);
            auto [low, high] = ranges_[value];
            if (low > high) low = high = 0;
            if (low == high) high = low + 1;
            value->setRange(low, high);
            value->applyNiceNumbers();
        }
    }

private:
    void Fit(QValueAxis* axis, const QLineSeries* series, qreal (QPointF::*coordinate)() const)
    {
        auto found = ranges_.find(axis);
        if (found == ranges_.end())
            found =
                ranges_
                    .emplace(axis, std::pair{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()})
                    .first;
        for (const QPointF& point : series->points()) {
            found->second.first = std::min(found->second.first, (point.*coordinate)());
            found->second.second = std::max(found->second.second, (point.*coordinate)());
        }
    }

    QChart& chart_;
    QValueAxis* x_;
    std::map<QValueAxis*, std::pair<double, double>> ranges_;
    int lines_ = 0;
};

// A drop's deflections (`values` after the load) at their sensors' offsets, times `scale`. They
// are in sensor order, which need not be the order of their offsets: the line goes from offset to
// offset.
// With `byNumber`, sensor n is at n.
QList<QPointF> BasinPoints(const std::vector<std::optional<double>>& values,
                           const std::vector<std::optional<double>>& offsets, bool byNumber, double scale)
{
    QList<QPointF> points;
    for (std::size_t sensor = 1; sensor < values.size(); ++sensor) {
        const std::optional<double> offset = byNumber ? std::optional<double>(static_cast<double>(sensor))
                                             : sensor <= offsets.size() ? offsets[sensor - 1]
                                                                        : std::nullopt;
        if (offset && values[sensor]) points.append(QPointF(*offset, *values[sensor] * scale));
    }
    std::stable_sort(points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    return points;
}

// Each drop's deflections scaled to `normalLoad` kN, where asked and where the document's loads
// can be made forces; a drop without a positive load is then left out.
void PlotBasin(QChart& chart, const PDDXFile& document, const PDDXSection& location, int currentDrop,
               std::optional<double> normalLoad)
{
    const double knPerLoad = normalLoad ? LoadScaleOf(document).KilonewtonsPerLoad.value_or(0) : 0;
    QString title = QString::fromLatin1(location.Handle().c_str()) + ": deflection basin";
    if (normalLoad)
        title += knPerLoad > 0 ? " at " + QString::number(*normalLoad) + " kN" : QString(", not normalised");
    const std::vector<std::optional<double>> offsets =
        Numbers(ValueOrEmpty(document, pddx::DeviceConfiguration::DeflectionSensorXAxisDistances));
    // Without offsets the sensors are spaced by their numbers.
    const bool byNumber =
        std::none_of(offsets.begin(), offsets.end(), [](const auto& offset) { return offset.has_value(); });
    Lines plot(chart, title,
               byNumber ? QString("Sensor")
                        : WithUnit("Sensor offset", ValueOrEmpty(document, pddx::Units::SensorsLocationUnits)));
    QValueAxis* deflection =
        plot.Axis(WithUnit("Deflection", ValueOrEmpty(document, pddx::Units::DeflectionUnits)), Qt::AlignLeft);
    // Deflections go downwards, as the pavement does.
    deflection->setReverse(true);
    for (const PDDXElement& element : location.Elements()) {
        const std::optional<int> drop = NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix);
        if (!drop) continue;
        const std::vector<std::optional<double>> values = Numbers(element.Value());
        double scale = 1;
        if (knPerLoad > 0) {
            if (!values.front() || *values.front() <= 0) continue;
            scale = normalLoad.value_or(0) / (*values.front() * knPerLoad);
        }
        auto* line = new QLineSeries;
        line->setName("Drop " + QString::number(*drop));
        line->append(BasinPoints(values, offsets, byNumber, scale));
        plot.Add(line, deflection, *drop == currentDrop);
    }
    plot.Finish();
}

// Samples are counted: an axis of them has its ticks on whole numbers only, a whole step apart.
void WholeTicks(QValueAxis& axis)
{
    const double step = (axis.max() - axis.min()) / std::max(1, axis.tickCount() - 1);
    if (step >= 1 && step == std::floor(step) && axis.min() == std::floor(axis.min())) return;
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(std::ceil(axis.min()));
    axis.setTickInterval(std::max(1.0, std::ceil(step)));
}

// The load, then one line per sensor, of a drop's samples: over time in ms at `frequency` (Hz),
// or by sample number where it is 0.
std::vector<QLineSeries*> HistoryLines(const std::map<int, const PDDXElement*>& samples, double frequency)
{
    std::vector<QLineSeries*> lines;
    for (const auto& [sample, element] : samples) {
        const double at = frequency > 0 ? (sample - 1) * 1000.0 / frequency : sample;
        const std::vector<std::optional<double>> values = Numbers(element->Value());
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (k == lines.size()) {
                lines.push_back(new QLineSeries);
                lines.back()->setName(k == 0 ? QString("Load") : "D" + QString::number(k));
            }
            if (values[k]) lines[k]->append(at, *values[k]);
        }
    }
    return lines;
}

// The samples of one drop, by sample number; `drop` 0 or one without samples: the first drop
// that has some. False when the location holds no history.
bool PlotHistory(QChart& chart, const PDDXFile& document, const PDDXSection& location, int drop)
{
    std::map<int, std::map<int, const PDDXElement*>> histories;
    for (const PDDXElement& element : location.Elements()) {
        int d = 0, sample = 0;
        if (HistoryNumbers(element.Handle(), d, sample)) histories[d][sample] = &element;
    }
    if (histories.empty()) return false;
    if (!histories.contains(drop)) drop = histories.begin()->first;
    const std::optional<double> frequency =
        Numbers(ValueOrEmpty(document, pddx::DeflectionData::DropHistoryDataFrequency)).front();
    const bool timed = frequency && *frequency > 0;
    Lines plot(chart,
               QString::fromLatin1(location.Handle().c_str()) + ", drop " + QString::number(drop) + ": time history",
               timed ? QString("Time (ms)") : QString("Sample"));
    QValueAxis* deflection =
        plot.Axis(WithUnit("Deflection", ValueOrEmpty(document, pddx::Units::DeflectionUnits)), Qt::AlignLeft);
    QValueAxis* load = plot.Axis(WithUnit("Load", ValueOrEmpty(document, pddx::Units::LoadUnits)), Qt::AlignRight);
    const std::vector<QLineSeries*> lines = HistoryLines(histories[drop], timed ? *frequency : 0);
    for (std::size_t k = 0; k < lines.size(); ++k) plot.Add(lines[k], k == 0 ? load : deflection);
    plot.Finish();
    if (!timed)
        for (QAbstractAxis* axis : chart.axes(Qt::Horizontal)) WholeTicks(*static_cast<QValueAxis*>(axis));
    return true;
}

QChartView* NewView(QWidget* parent, const char* name)
{
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    QChart& chart = *view->chart();
    chart.legend()->setAlignment(Qt::AlignBottom);
    chart.legend()->setFont(Smaller(chart.legend()->font()));
    chart.setTitleFont(Smaller(chart.titleFont()));
    chart.setMargins(QMargins(2, 2, 2, 2));
    view->setMinimumSize(kSmallestPlot);
    return view;
}

void ShowLegendIfItFits(QChartView& view)
{
    const qsizetype lines = view.chart()->series().size();
    view.chart()->legend()->setVisible(lines > 0 && lines <= kLegendLines && view.width() >= kLegendRoom.width() &&
                                       view.height() >= kLegendRoom.height());
}

// The chart as the file name's extension asks: a PNG picture of it as shown, or an SVG drawing;
// empty for any other extension.
QByteArray Picture(QChartView& view, const QString& fileName)
{
    const QString format = QFileInfo(fileName).suffix().toLower();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == "png") {
        if (!view.grab().save(&buffer, "PNG")) return {};
    } else if (format == "svg") {
        QSvgGenerator drawing;
        drawing.setOutputDevice(&buffer);
        drawing.setSize(view.size());
        drawing.setViewBox(QRect(QPoint(), view.size()));
        drawing.setTitle(view.chart()->title());
        QPainter painter(&drawing);
        view.render(&painter);
    } else {
        return {};
    }
    return buffer.data();
}

}  // namespace

PlotPanel::PlotPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName("fraPlots");
    basinView_ = NewView(this, "chtBasin");
    historyView_ = NewView(this, "chtHistory");
    for (QChartView* view : {basinView_, historyView_}) {
        auto* save = new QAction("Save Plot...", view);
        save->setObjectName("actSavePlot");
        connect(save, &QAction::triggered, this, [this, view] { SavePlot(*view); });
        view->addAction(save);
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        view->installEventFilter(this);
    }
    historyView_->hide();
    // Basins of drops of different loads compare once scaled to one load.
    chkNormalise_ = new QCheckBox("Normalise &basins to", this);
    chkNormalise_->setObjectName("chkNormalise");
    chkNormalise_->setToolTip("Scale each drop's deflections to this load: deflection times this load over the drop's");
    spnNormalLoad_ = new QDoubleSpinBox(this);
    spnNormalLoad_->setObjectName("spnNormalLoad");
    spnNormalLoad_->setRange(1, 1000);
    spnNormalLoad_->setDecimals(1);
    spnNormalLoad_->setValue(40);
    spnNormalLoad_->setSuffix(" kN");
    spnNormalLoad_->setEnabled(false);
    auto* normalise = new QHBoxLayout;
    normalise->setContentsMargins(0, 0, 0, 0);
    normalise->addWidget(chkNormalise_);
    normalise->addWidget(spnNormalLoad_);
    normalise->addStretch(1);
    layout_ = new QBoxLayout(QBoxLayout::TopToBottom);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->addWidget(basinView_, 1);
    layout_->addWidget(historyView_, 1);
    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(2);
    panel->addLayout(normalise);
    panel->addLayout(layout_, 1);
    connect(chkNormalise_, &QCheckBox::toggled, this, [this](bool on) {
        spnNormalLoad_->setEnabled(on);
        emit Changed();
    });
    connect(spnNormalLoad_, &QDoubleSpinBox::valueChanged, this, [this] {
        if (chkNormalise_->isChecked()) emit Changed();
    });
}

std::optional<double> PlotPanel::NormalLoad() const
{
    return chkNormalise_->isChecked() ? std::optional(spnNormalLoad_->value()) : std::nullopt;
}

void PlotPanel::SetNormalLoad(std::optional<double> kilonewtons)
{
    const std::optional<double> before = NormalLoad();
    {
        const QSignalBlocker quietBox(chkNormalise_);
        const QSignalBlocker quietLoad(spnNormalLoad_);
        if (kilonewtons) spnNormalLoad_->setValue(*kilonewtons);
        chkNormalise_->setChecked(kilonewtons.has_value());
        spnNormalLoad_->setEnabled(kilonewtons.has_value());
    }
    if (NormalLoad() != before) emit Changed();
}

void PlotPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The two plots side by side in a wide panel, one above the other in a tall one: only where
    // both then have their smallest size, so that the panel's own smallest size is side by side.
    const int plots = height() - NormaliseRowHeight() - 2;
    const bool stackedFits = plots >= 2 * kSmallestPlot.height() + layout_->spacing();
    layout_->setDirection(width() > plots * 3 / 2 || !stackedFits ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

QSize PlotPanel::minimumSizeHint() const
{
    const QMargins margins = layout_->contentsMargins();
    return {2 * kSmallestPlot.width() + layout_->spacing() + margins.left() + margins.right(),
            kSmallestPlot.height() + margins.top() + margins.bottom() + NormaliseRowHeight() + 2};
}

bool PlotPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        for (QChartView* view : {basinView_, historyView_})
            if (watched == view) ShowLegendIfItFits(*view);
    return QWidget::eventFilter(watched, event);
}

int PlotPanel::NormaliseRowHeight() const
{
    return std::max(chkNormalise_->sizeHint().height(), spnNormalLoad_->sizeHint().height());
}

QChart* PlotPanel::Basin() const { return basinView_->chart(); }
QChart* PlotPanel::History() const { return historyView_->chart(); }

void PlotPanel::Follow(const PDDXFile& document, const PDDXElement* element)
{
    const PDDXSection* section = element ? element->Parent() : nullptr;
    if (!section || !NumberAfter(section->Handle(), pddx::TestLocation::kPrefix)) return;
    int drop = NumberAfter(element->Handle(), pddx::TestLocation::kDropDataPrefix).value_or(0);
    int sample = 0;
    if (drop <= 0) HistoryNumbers(element->Handle(), drop, sample);
    // Moving within the location re-plots only for another drop.
    if (section->Handle() == location_ && (drop <= 0 || drop == drop_)) return;
    Plot(document, section->Handle(), drop > 0 ? drop : drop_);
}

void PlotPanel::Plot(const PDDXFile& document, const std::string& location, int drop)
{
    location_ = location;
    drop_ = drop;
    const PDDXSection* section = nullptr;
    try {
        section = &document.Section(location);
    } catch (const std::out_of_range&) {
        section = nullptr;
    }
    if (!section) {
        Lines(*Basin(), "No test location", "").Finish();
        historyView_->hide();
    } else {
        PlotBasin(*Basin(), document, *section, drop, NormalLoad());
        historyView_->setVisible(PlotHistory(*History(), document, *section, drop));
    }
    for (QChartView* view : {basinView_, historyView_}) ShowLegendIfItFits(*view);
}

bool PlotPanel::SavePlot(QChartView& view)
{
    static Prompts standard = StandardPrompts();
    Prompts& prompts = prompts_ ? *prompts_ : standard;
    const QString name =
        QString::fromLatin1(location_.c_str()) + (&view == historyView_ ? " history.png" : " basin.png");
    const QString suggested = folder_.isEmpty() ? name : folder_ + "/" + name;
    const QString chosen =
        prompts.SaveFileName(this, "Save Plot", suggested, QtFilter("PNG Picture|*.png|SVG Drawing|*.svg"), {});
    if (chosen.isEmpty()) return false;
    const QByteArray picture = Picture(view, chosen);
    if (picture.isEmpty()) {
        prompts.Warn(this, "Vantrel",
                     "Unable to save the plot as " + chosen + ": a plot is saved as a .png or .svg file.");
        return false;
    }
    try {
        WriteFileAtomically(NativeName(chosen),
                            [&picture](std::ostream& out) { out.write(picture.constData(), picture.size()); });
    } catch (const std::exception& e) {
        prompts.Warn(this, "Vantrel", QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

void PlotPanel::Refresh(const PDDXFile& document)
{
    Plot(document, location_.empty() ? std::string(pddx::TestLocation::kPrefix) + "1" : location_, drop_);
}

}  // namespace vantrel
