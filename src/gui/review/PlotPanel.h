#pragma once
// The plots beside the grid: the deflection basin of each drop of one test location (deflection
// against sensor offset), and the time history of one of its drops where the document holds one.

#include <QWidget>
#include <string>

#include "document/PDDXFile.h"

class QBoxLayout;
class QChart;
class QChartView;

namespace vantrel {

class PlotPanel : public QWidget {
    Q_OBJECT
public:
    explicit PlotPanel(QWidget* parent = nullptr);

    // Plots the test location `element` belongs to, with the history of its drop when it is a
    // drop's element; an element outside the test locations leaves the plots as they are.
    void Follow(const PDDXFile& document, const PDDXElement* element);
    // Plots this test location again, with the history of drop `drop` (0: the first recorded).
    void Plot(const PDDXFile& document, const std::string& location, int drop);
    // Plots what is shown again from the document, or the first test location.
    void Refresh(const PDDXFile& document);

    const std::string& Location() const { return location_; }
    QChart* Basin() const;
    QChart* History() const;
    QChartView* HistoryView() const { return historyView_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QBoxLayout* layout_;
    QChartView* basinView_;
    QChartView* historyView_;
    std::string location_;
    int drop_ = 0;
};

}  // namespace vantrel
