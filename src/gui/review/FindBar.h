#pragma once
// The bar above the grid (Ctrl+F): shows only the rows holding a text in section, item or value,
// or only the missing data (flagged and empty), and goes to a test location by its number.

#include <QWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vantrel {

class ReviewGrid;
struct GridElement;

class FindBar : public QWidget {
    Q_OBJECT
public:
    FindBar(ReviewGrid& grid, QWidget* parent = nullptr);

    // Shows the bar with the find box holding the focus.
    void Open();
    // Hides the bar and shows every row again; the grid gets the focus.
    void Close();
    // Goes to the test location whose number the box holds.
    void GoToTestLocation();
    // Filters the grid by what the bar holds.
    void Apply();
    // Makes the first of these rows current and selects the others with it, where the filter shows
    // them; with `showHidden`, a first row the filter hides is shown by clearing the bar first.
    // False when the first row is not made current.
    bool GoToRows(const std::vector<int>& rows, bool showHidden);
    // The same for the rows of these elements; those the grid does not hold are passed over.
    bool GoToElements(const std::vector<GridElement>& elements, bool showHidden);

    QLineEdit* FindBox() const { return txtFind_; }
    QCheckBox* MissingBox() const { return chkMissing_; }
    QLineEdit* LocationBox() const { return txtTestLocation_; }
    QString Found() const;

private:
    ReviewGrid& grid_;
    QLineEdit* txtFind_;
    QCheckBox* chkMissing_;
    QLineEdit* txtTestLocation_;
    QLabel* lblFound_;
};

}  // namespace vantrel
