#pragma once
// File > Export Drops asks first what to export, with the choices `vantrel export` offers: the
// drops (their loads normalised, basin indices added), the time histories, or the test locations
// as map points.

#include <QDialog>

#include "core/ExportFields.h"

class QCheckBox;
class QDoubleSpinBox;
class QPushButton;
class QRadioButton;

namespace vantrel {

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(QWidget* parent = nullptr);

    void SetOptions(const ExportOptions& options);
    ExportOptions Options() const;

private:
    // Normalising and indices apply to the table of drops; the indices' own numbers to them.
    void EnableChoices();

    QRadioButton* optDrops_;
    QRadioButton* optHistories_;
    QRadioButton* optMap_;
    QCheckBox* chkNormalise_;
    QDoubleSpinBox* spnLoad_;
    QCheckBox* chkIndices_;
    QDoubleSpinBox* spnPoisson_;
    QDoubleSpinBox* spnTolerance_;
    QPushButton* cmdOK_;
};

}  // namespace vantrel
