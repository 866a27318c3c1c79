#pragma once
// The open dialog: choose the input format, then browse for one file (converted at once),
// convert every file of one extension in a folder, or start a blank document. ReadChosen is the
// one place that hands a file to its reader and the result to a window or a file.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "core/Inputs.h"
#include "core/ProgramState.h"
#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantrel {

class MainWindow;
class ReviewWindow;

class OpenDialog : public QWidget {
    Q_OBJECT
public:
    OpenDialog(MainWindow& main, ProgramState& state);

    // Open mode (a new review window per file); shows the dialog without blocking.
    void OpenFile();
    // Append mode: what is read next merges into this window's document, going on from the
    // reading its earlier files left (none: a new one).
    void AppendFile(ReviewWindow* review, std::shared_ptr<PDDXFile> document, std::shared_ptr<ReadingState> reading);
    // Reads txtFilename with the reader of CurrentType and hands the result on; false when
    // the file could not be converted (the user has been told why).
    bool ReadChosen();

    void Browse();
    void Batch();
    void Blank();
    // Opens a named file in a new review window as Browse does, read as `fileType` (the type
    // chosen in the dialog when none is given); false when it could not be converted.
    bool OpenNamed(const QString& fileName, std::optional<FileType> fileType = std::nullopt);

    QString InputFileName() const { return inputFileName_; }
    // Whether the file chosen opens a new review window or is merged into one.
    enum class Purpose { Open, Merge };
    Purpose CurrentPurpose() const { return purpose_; }
    QLineEdit* FilenameBox() const { return txtFilename_; }
    QRadioButton* Option(const char* name) const;
    static QString FileFilter();
    // The entry of FileFilter (in Qt's form) for files of `code`; empty for a type it does not list.
    static QString TypeFilter(FileType code);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Select(FileType code);
    // Selects the settings' default type when it has changed since the dialog last selected it,
    // so that a type chosen in the settings window applies without a restart.
    void FollowSettings();
    void ShowActive();
    void ShowPurpose();
    void FocusFilename();
    void ConvertFolder();
    void ShowFailure(const std::exception& failure);
    bool ConfirmType(InputFile& input);
    // The input file chosen in the file chooser titled with the current type's name between the
    // two texts, kept as the input and its folder as the next start; empty when none was chosen.
    QString ChooseInput(const QString& titleBefore, const QString& titleAfter);

    MainWindow& main_;
    ProgramState& state_;
    QString inputFileName_;
    Purpose purpose_ = Purpose::Open;
    std::shared_ptr<PDDXFile> targetDocument_;
    std::shared_ptr<ReadingState> targetReading_;
    QPointer<ReviewWindow> targetReview_;
    std::map<FileType, QRadioButton*> options_;
    FileType followedFileType_ = FileType::PDDX;
    QGroupBox* fraFileType_;
    QLineEdit* txtFilename_;
    QPushButton* cmdBatch_;
    QPushButton* cmdBlank_;
};

}  // namespace vantrel
