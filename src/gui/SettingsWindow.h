#pragma once
// The settings window: default folders, default file type and the JILS DAT defaults, edited in
// memory (the file is written when the program ends).

#include <QWidget>
#include <cstdint>
#include <map>

#include "core/ProgramState.h"
#include "gui/Prompts.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace vantrel {

// The folder chooser: the chosen folder, or empty text when the user cancelled.
QString BrowseForFolder(Prompts& prompts, QWidget* owner, const QString& title);

class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(ProgramState& state, Prompts& prompts, QWidget* parent = nullptr);

    void OK();
    void Cancel();
    FileType SelectedFileType() const { return selectedFileType_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Fill();
    void Select(FileType code);
    void Chosen(FileType code);
    void CountChosen(int position);

    ProgramState& state_;
    Prompts& prompts_;
    FileType selectedFileType_ = FileType::DynatestF25;
    std::map<FileType, QRadioButton*> options_;
    QLineEdit* txtInputPath_;
    QLineEdit* txtHistoryPath_;
    QLineEdit* txtConfigPath_;
    QGroupBox* fraJILSDefaults_;
    QLineEdit* txtJILSLoadPlateRadi_;
    QComboBox* cboJILSNumSensors_;
    QLineEdit* txtJILSXAxis_;
    QLineEdit* txtJILSYAxis_;
};

}  // namespace vantrel
