#include "gui/SettingsWindow.h"

#include <algorithm>
#include <vector>

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "import/FileFormats.h"
#include "gui/DialogWindow.h"
#include "gui/Prompts.h"

namespace vantrel {
namespace {

QString Text(const std::string& text) { return QString::fromLocal8Bit(text); }
std::string Bytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

struct CountOffsets {
    const char* x;
    const char* y;
};

// What choosing a sensor count puts in the offset boxes, character for character.
constexpr CountOffsets kCountOffsets[] = {
    {"", ""},
    {"0, 8, 12, 18, 24, 36, 48", "0, 0, 0, 0, 0, 0, 0"},
    {"0, 8, 12, 18, 24, 36, 48, 60", "0, 0, 0, 0, 0, 0, 0, 0"},
    {"0, 8, 12, 18, 24, 36, 48, 60,-12", "0, 0, 0, 0, 0, 0, 0, 0,  0"},
    {"", ""},
};

const QStringList kCounts = {"6", "7", "8", "9", "10"};

}  // namespace

QString BrowseForFolder(Prompts& prompts, QWidget* owner, const QString& title) { return prompts.Folder(owner, title); }

SettingsWindow::SettingsWindow(ProgramState& state, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Dialog), state_(state), prompts_(prompts)
{
    setObjectName("SettingsWindow");
    setWindowTitle("Configuration");

    auto* folders = new QGridLayout;
    const auto addFolder = [&](int row, const char* labelName, const char* caption, const char* boxName,
                               const char* buttonName, const char* buttonCaption, const QString& title) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(labelName);
        auto* box = new QLineEdit(this);
        box->setObjectName(boxName);
        box->setMinimumWidth(320);
        auto* button = new QPushButton(buttonCaption, this);
        button->setObjectName(buttonName);
        folders->addWidget(label, row * 2, 0, 1, 2);
        folders->addWidget(box, row * 2 + 1, 0);
        folders->addWidget(button, row * 2 + 1, 1);
        connect(button, &QPushButton::clicked, this, [this, box, title] {
            const QString folder = BrowseForFolder(prompts_, this, title);
            if (!folder.isEmpty()) box->setText(folder);
        });
        return box;
    };
    txtInputPath_ = addFolder(0, "Label1", "Default path for input files:", "txtInputPath", "cmdBrowseInput", "&Browse",
                              "Select folder where input data files are located.");
    txtHistoryPath_ = addFolder(1, "Label2", "Default path for history files:", "txtHistoryPath", "cmdBrowseHistory",
                                "B&rowse", "Select folder where history files are located.");
    txtConfigPath_ = addFolder(2, "Label3", "Default path for configuration files:", "txtConfigPath", "cmdBrowseConfig",
                               "Brow&se", "Select folder where configuration files are located.");

    auto* fraFileType = new QGroupBox("Default File Type", this);
    fraFileType->setObjectName("fraFileType");
    auto* typeLayout = new QVBoxLayout(fraFileType);
    // The offered types in their own order, then the two the window carries hidden.
    std::vector<const FileFormat*> offered;
    for (const FileFormat& format : FileFormats())
        if (format.SettingsPosition >= 0) offered.push_back(&format);
    std::stable_sort(offered.begin(), offered.end(), [](const FileFormat* a, const FileFormat* b) {
        return (a->SettingsPosition == 0 ? 1000 : a->SettingsPosition) <
               (b->SettingsPosition == 0 ? 1000 : b->SettingsPosition);
    });
    for (const FileFormat* format : offered) {
        auto* button = new QRadioButton(format->OptionCaption, fraFileType);
        button->setObjectName(format->OptionName);
        const bool shown = format->SettingsPosition > 0;
        button->setVisible(shown);
        if (shown) {
            typeLayout->addWidget(button);
            options_[format->Type] = button;
            const FileType code = format->Type;
            connect(button, &QRadioButton::clicked, this, [this, code] { Chosen(code); });
        }
    }

    fraJILSDefaults_ = new QGroupBox("JILS FWD Defaults", this);
    fraJILSDefaults_->setObjectName("fraJILSDefaults");
    auto* jils = new QGridLayout(fraJILSDefaults_);
    const char* jilsLabels[] = {"All Units - Inches", "Load Plate Radius:", "Number of Sensors:", "Y-axis", "X-axis"};
    QLabel* labels[5];
    for (int i = 0; i < 5; ++i) {
        labels[i] = new QLabel(jilsLabels[i], fraJILSDefaults_);
        labels[i]->setObjectName("lblJILS");
    }
    txtJILSLoadPlateRadi_ = new QLineEdit(fraJILSDefaults_);
    txtJILSLoadPlateRadi_->setObjectName("txtJILSLoadPlateRadi");
    cboJILSNumSensors_ = new QComboBox(fraJILSDefaults_);
    cboJILSNumSensors_->setObjectName("cboJILSNumSensors");
    txtJILSXAxis_ = new QLineEdit(fraJILSDefaults_);
    txtJILSXAxis_->setObjectName("txtJILSXAxis");
    txtJILSYAxis_ = new QLineEdit(fraJILSDefaults_);
    txtJILSYAxis_->setObjectName("txtJILSYAxis");
    // Room for the longest offsets the count list fills in, so they show whole.
    const int offsetsWidth = txtJILSXAxis_->fontMetrics().horizontalAdvance(QString(kCountOffsets[3].x) + "  ");
    txtJILSXAxis_->setMinimumWidth(offsetsWidth);
    txtJILSYAxis_->setMinimumWidth(offsetsWidth);
    jils->addWidget(labels[0], 0, 0, 1, 2);
    jils->addWidget(labels[1], 1, 0);
    jils->addWidget(txtJILSLoadPlateRadi_, 1, 1);
    jils->addWidget(labels[2], 2, 0);
    jils->addWidget(cboJILSNumSensors_, 2, 1);
    jils->addWidget(labels[4], 3, 0);
    jils->addWidget(txtJILSXAxis_, 3, 1);
    jils->addWidget(labels[3], 4, 0);
    jils->addWidget(txtJILSYAxis_, 4, 1);
    connect(cboJILSNumSensors_, &QComboBox::activated, this, &SettingsWindow::CountChosen);

    auto* cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    auto* cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdOK, &QPushButton::clicked, this, &SettingsWindow::OK);
    connect(cmdCancel, &QPushButton::clicked, this, &SettingsWindow::Cancel);
    DialogKeys(this, cmdOK, [this] { Cancel(); });

    auto* middle = new QHBoxLayout;
    middle->addWidget(fraFileType);
    middle->addWidget(fraJILSDefaults_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folders);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    // As built: F25 shown selected, no JILS frame; then the stored settings.
    options_[FileType::DynatestF25]->setChecked(true);
    selectedFileType_ = FileType::DynatestF25;
    fraJILSDefaults_->hide();
    Fill();
    Select(state_.Settings.Type);
}

void SettingsWindow::Fill()
{
    txtInputPath_->setText(Text(state_.Settings.InputPath));
    txtHistoryPath_->setText(Text(state_.Settings.HistoryPath));
    txtConfigPath_->setText(Text(state_.Settings.ConfigPath));
}

void SettingsWindow::Select(FileType code)
{
    // A stored type with no visible option leaves the selection as it stands.
    const auto found = options_.find(code);
    if (found == options_.end()) return;
    found->second->setChecked(true);
    Chosen(code);
}

void SettingsWindow::Chosen(FileType code)
{
    selectedFileType_ = code;
    if (code != FileType::JilsDat) {
        fraJILSDefaults_->hide();
        return;
    }
    fraJILSDefaults_->show();
    const int sensors = state_.Settings.NumSensors;
    cboJILSNumSensors_->clear();
    if (sensors == 0) txtJILSLoadPlateRadi_->setText("6");
    cboJILSNumSensors_->addItems(kCounts);
    // A count with no item (it may come from the last file read) leaves the list unselected.
    cboJILSNumSensors_->setCurrentIndex(sensors >= 6 && sensors <= 10 ? sensors - 6 : -1);
    txtJILSLoadPlateRadi_->setText(state_.Settings.LoadPlateRadius.empty() ? QString("6")
                                                                           : Text(state_.Settings.LoadPlateRadius));
    txtJILSXAxis_->setText(Text(state_.Settings.SensorXAxis));
    txtJILSYAxis_->setText(Text(state_.Settings.SensorYAxis));
}

void SettingsWindow::CountChosen(int position)
{
    if (position < 0 || position > 4) return;
    txtJILSXAxis_->setText(kCountOffsets[position].x);
    txtJILSYAxis_->setText(kCountOffsets[position].y);
}

void SettingsWindow::OK()
{
    // A new default folder is where the next file chooser starts.
    const std::string inputPath = Bytes(txtInputPath_->text());
    if (inputPath != state_.Settings.InputPath) state_.WorkingInputPath = inputPath;
    state_.Settings.InputPath = inputPath;
    state_.Settings.HistoryPath = Bytes(txtHistoryPath_->text());
    state_.Settings.ConfigPath = Bytes(txtConfigPath_->text());
    state_.Settings.Type = selectedFileType_;
    if (options_[FileType::JilsDat]->isChecked()) {
        state_.Settings.NumSensors = cboJILSNumSensors_->currentIndex() + 6;
        state_.Settings.LoadPlateRadius = Bytes(txtJILSLoadPlateRadi_->text());
        state_.Settings.SensorXAxis = Bytes(txtJILSXAxis_->text());
        state_.Settings.SensorYAxis = Bytes(txtJILSYAxis_->text());
    }
    hide();
}

void SettingsWindow::Cancel()
{
    Fill();
    Select(state_.Settings.Type);
    hide();
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    // The close box ends the window without touching the settings; Configure builds it anew.
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget::closeEvent(event);
}

}  // namespace vantrel
