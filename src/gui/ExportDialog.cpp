#include "gui/ExportDialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/DialogWindow.h"

namespace vantrel {
namespace {

QDoubleSpinBox* Number(QWidget* parent, const char* name, double low, double high, int decimals, const char* suffix)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setSuffix(suffix);
    return box;
}

}  // namespace

ExportDialog::ExportDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("ExportDialog");
    setWindowTitle("Export Drops");
    auto* table = new QGroupBox("Write", this);
    optDrops_ = new QRadioButton("&Drops, one row each (CSV)", table);
    optDrops_->setObjectName("optDrops");
    optHistories_ = new QRadioButton("Time &histories, one row per sample (CSV)", table);
    optHistories_->setObjectName("optHistories");
    optMap_ = new QRadioButton("&Map points: test locations with a GPS fix (GeoJSON)", table);
    optMap_->setObjectName("optMap");
    auto* tableLayout = new QVBoxLayout(table);
    for (QRadioButton* option : {optDrops_, optHistories_, optMap_}) tableLayout->addWidget(option);

    chkNormalise_ = new QCheckBox("&Normalise deflections to the load", this);
    chkNormalise_->setObjectName("chkNormalise");
    chkNormalise_->setToolTip("Each deflection times this load over its drop's load; a pressure is made a force by the "
                              "plate's area");
    spnLoad_ = Number(this, "spnLoad", 0.1, 10000, 1, " kN");
    chkIndices_ = new QCheckBox("Basin &indices: SCI, BDI, BCI, AREA and E0", this);
    chkIndices_->setObjectName("chkIndices");
    chkIndices_->setToolTip("Columns after the deflections, from the sensors nearest 0, 300, 600 and 900 mm");
    spnPoisson_ = Number(this, "spnPoisson", 0, 0.5, 2, "");
    spnPoisson_->setSingleStep(0.05);
    spnTolerance_ = Number(this, "spnTolerance", 1, 1000, 0, " mm");
    auto* poisson = new QLabel("&Poisson's ratio for E0:", this);
    poisson->setBuddy(spnPoisson_);
    auto* tolerance = new QLabel("Sensor &tolerance:", this);
    tolerance->setBuddy(spnTolerance_);
    tolerance->setToolTip("How far a sensor may be from 0, 300, 600 or 900 mm to count as there");

    cmdOK_ = new QPushButton("OK", this);
    cmdOK_->setObjectName("cmdOK");
    cmdOK_->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");

    auto* normalise = new QHBoxLayout;
    normalise->addWidget(chkNormalise_);
    normalise->addWidget(spnLoad_);
    normalise->addStretch(1);
    auto* indices = new QFormLayout;
    indices->setContentsMargins(24, 0, 0, 0);
    indices->addRow(poisson, spnPoisson_);
    indices->addRow(tolerance, spnTolerance_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(normalise);
    layout->addWidget(chkIndices_);
    layout->addLayout(indices);
    layout->addLayout(buttons);

    for (QAbstractButton* choice :
         std::initializer_list<QAbstractButton*>{optDrops_, optHistories_, optMap_, chkNormalise_, chkIndices_})
        connect(choice, &QAbstractButton::toggled, this, &ExportDialog::EnableChoices);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    DialogKeys(this, cmdOK_, [this] { reject(); });
    SetOptions({});
}

void ExportDialog::SetOptions(const ExportOptions& options)
{
    (options.Histories ? optHistories_ : options.GeoJson ? optMap_ : optDrops_)->setChecked(true);
    chkNormalise_->setChecked(options.NormalLoad > 0);
    spnLoad_->setValue(options.NormalLoad > 0 ? options.NormalLoad : 40);
    chkIndices_->setChecked(options.Indices);
    spnPoisson_->setValue(options.Poisson);
    spnTolerance_->setValue(options.Tolerance);
    EnableChoices();
}

ExportOptions ExportDialog::Options() const
{
    ExportOptions options;
    options.Histories = optHistories_->isChecked();
    options.GeoJson = optMap_->isChecked();
    const bool drops = optDrops_->isChecked();
    options.NormalLoad = drops && chkNormalise_->isChecked() ? spnLoad_->value() : 0;
    options.Indices = drops && chkIndices_->isChecked();
    options.Poisson = spnPoisson_->value();
    options.Tolerance = spnTolerance_->value();
    return options;
}

void ExportDialog::EnableChoices()
{
    const bool drops = optDrops_->isChecked();
    chkNormalise_->setEnabled(drops);
    spnLoad_->setEnabled(drops && chkNormalise_->isChecked());
    chkIndices_->setEnabled(drops);
    spnPoisson_->setEnabled(drops && chkIndices_->isChecked());
    spnTolerance_->setEnabled(drops && chkIndices_->isChecked());
}

}  // namespace vantrel
