#pragma once
// The plots beside the grid: the deflection basin of each drop of one test location (deflection
// against sensor offset), and the time history of one of its drops where the document holds one.
// Each plot's context menu saves it as a picture.

#include <QWidget>
#include <optional>
#include <string>

#include "document/PDDXFile.h"
#include "gui/Prompts.h"

class QBoxLayout;
class QChart;
class QChartView;
class QCheckBox;
class QDoubleSpinBox;

namespace vantrel {

class PlotPanel : public QWidget {
    Q_OBJECT
public:
    explicit PlotPanel(QWidget* parent = nullptr);

    // Plots the test location `element` belongs to, with the history of its drop when it is a
    // drop's element; an element outside the test locations leaves the plots as they are.
    void Follow(const PDDXFile& document, const PDDXElement* element);
    // Plots this test location again, its drop `drop` drawn bolder, with the history of that drop
    // (0: the first recorded).
    void Plot(const PDDXFile& document, const std::string& location, int drop);
    // Plots what is shown again from the document, or the first test location.
    void Refresh(const PDDXFile& document);

    // The window's questions; until given, the toolkit's own dialogs.
    void SetPrompts(Prompts& prompts) { prompts_ = &prompts; }
    // The folder Save Plot's chooser starts in (the document's); empty: the working folder.
    void SetFolder(const QString& folder) { folder_ = folder; }
    // Save Plot: asks for a file name and writes the plot there as a PNG picture or an SVG drawing,
    // by the name's extension; true when written, a warning when not.
    bool SavePlot(QChartView& view);

    const std::string& Location() const { return location_; }
    QChart* Basin() const;
    QChart* History() const;
    QChartView* BasinView() const { return basinView_; }
    QChartView* HistoryView() const { return historyView_; }
    // The load in kN that basins are scaled to (each drop's deflections times this load over the
    // drop's own), or nullopt for basins as measured. Changed() asks for the plots again.
    std::optional<double> NormalLoad() const;
    void SetNormalLoad(std::optional<double> kilonewtons);
    QCheckBox* NormaliseBox() const { return chkNormalise_; }

    // Side by side, each plot at its smallest size.
    QSize minimumSizeHint() const override;

signals:
    // What the plots show was changed here: they are to be plotted again from the document.
    void Changed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int NormaliseRowHeight() const;

    QBoxLayout* layout_;
    QCheckBox* chkNormalise_;
    QDoubleSpinBox* spnNormalLoad_;
    QChartView* basinView_;
    QChartView* historyView_;
    std::string location_;
    int drop_ = 0;
    Prompts* prompts_ = nullptr;
    QString folder_;
};

}  // namespace vantrel
