#include "gui/OpenDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <thread>

#include "core/Conversion.h"
#include "core/Inputs.h"
#include "core/OutputNames.h"
#include "core/Settings.h"
#include "gui/DialogWindow.h"
#include "gui/NativeName.h"
#include "import/FileFormats.h"
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "base/ReadError.h"
#include "gui/review/ReviewWindow.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {
namespace {

const QString kProgramTitle = "Vantrel";
const QString kBlankName = "BlankPDDX.DDX";

const QString kBatchTitle = "Batch Processing of FWD Files";
const QString kBullet = QString("     ") + QChar(0x2022) + " ";
// Room a title bar keeps for its icon and buttons.
constexpr int kTitleBarButtons = 160;

QString FolderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash);
}

// What went wrong, for the user: the file, the line and why for a reader's failure.
QString FailureText(const std::exception& failure)
{
    if (const auto* readError = dynamic_cast<const ReadError*>(&failure)) {
        QString text = "Could not convert " + QString::fromLocal8Bit(readError->File());
        if (readError->Line() > 0) text += "\nLine " + QString::number(readError->Line());
        return text + ": " + QString::fromLocal8Bit(readError->Reason());
    }
    return QString::fromLocal8Bit(failure.what());
}

// The end of a batch: the files written, the one that failed and why, those not tried.
enum class BatchOutcome { NotTried, Written, Skipped, Failed };

// The batch's files in the order a list of names is read in, whatever order the folder gave.
std::vector<std::size_t> ByName(const std::vector<BatchFile>& files)
{
    std::vector<std::size_t> order(files.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&files](std::size_t a, std::size_t b) {
        const QString left = QString::fromLocal8Bit(files[a].Name), right = QString::fromLocal8Bit(files[b].Name);
        const int folded = left.compare(right, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : left < right;
    });
    return order;
}

// What a batch tells at its end: the counts and a failure first, then the list, which may be
// long: what was skipped, the warnings, what was not tried, what was written, each by name.
struct BatchSummary {
    QString Text;
    QStringList Lines;
};

// The files' warnings by file in `order`, each file's in the order of its lines.
QStringList WarningsByName(const std::vector<std::size_t>& order,
                           std::vector<std::pair<std::size_t, std::string>> warnings)
{
    std::vector<std::size_t> rank(order.size());
    for (std::size_t place = 0; place < order.size(); ++place) rank[order[place]] = place;
    std::stable_sort(warnings.begin(), warnings.end(),
                     [&rank](const auto& a, const auto& b) { return rank[a.first] < rank[b.first]; });
    QStringList lines;
    for (const auto& [file, warning] : warnings) lines << kBullet + QString::fromLocal8Bit(warning);
    return lines;
}

BatchSummary SumUp(const std::vector<BatchFile>& files, const std::vector<BatchOutcome>& outcomes, const QString& why,
                   bool stopped, const std::vector<std::pair<std::size_t, std::string>>& warnings)
{
    const auto count = [&outcomes](BatchOutcome outcome) {
        return std::count(outcomes.begin(), outcomes.end(), outcome);
    };
    BatchSummary summary;
    summary.Text = QString("%1 of %2 files converted%3.")
                       .arg(count(BatchOutcome::Written))
                       .arg(files.size())
                       .arg(stopped ? " (cancelled)" : "");
    for (std::size_t i = 0; i < files.size(); ++i)
        if (outcomes[i] == BatchOutcome::Failed)
            summary.Text += "\n\nFailed: " + QString::fromLocal8Bit(files[i].Name) + "\n" + why;
    QStringList counts;
    const auto counted = [&counts](const QString& what, qsizetype number) {
        if (number > 0) counts << what + QString::number(number);
    };
    counted("written: ", count(BatchOutcome::Written));
    counted("skipped: ", count(BatchOutcome::Skipped));
    counted("not tried: ", count(BatchOutcome::NotTried));
    counted("warnings: ", static_cast<qsizetype>(warnings.size()));
    if (!counts.isEmpty()) {
        QString line = counts.join(", ");
        line[0] = line[0].toUpper();
        summary.Text += "\n\n" + line;
    }

    const std::vector<std::size_t> order = ByName(files);
    const auto add = [&summary](const QString& heading, const QStringList& lines) {
        if (lines.isEmpty()) return;
        if (!summary.Lines.isEmpty()) summary.Lines << QString();
        summary.Lines << heading << lines;
    };
    const auto list = [&](const QString& heading, BatchOutcome outcome) {
        QStringList lines;
        for (const std::size_t i : order) {
            if (outcomes[i] != outcome) continue;
            const BatchFile& file = files[i];
            if (outcome == BatchOutcome::Written)
                lines << kBullet + QString::fromLocal8Bit(std::filesystem::path(file.Output).filename().string());
            else if (outcome == BatchOutcome::Skipped)
                lines << kBullet + QString::fromLocal8Bit(file.Name + ": " + file.Skipped);
            else lines << kBullet + QString::fromLocal8Bit(file.Name);
        }
        add(heading, lines);
    };
    list("Skipped:", BatchOutcome::Skipped);
    add("Warnings:", WarningsByName(order, warnings));
    list("Not tried:", BatchOutcome::NotTried);
    list("Written:", BatchOutcome::Written);
    return summary;
}

// A type's name and the extensions its files have, in either letter case as files are named.
QString FilterPair(const FileFormat& format)
{
    QStringList patterns;
    for (const QString& extension : QString::fromLatin1(format.Extensions).split(';'))
        patterns << "*." + extension << "*." + extension.toLower();
    return QString::fromLatin1(format.Name) + "|" + patterns.join(';');
}

}  // namespace

QString OpenDialog::FileFilter()
{
    QString filter = "All Files|*";
    for (const FileFormat& format : FileFormats())
        if (format.OpenOption) filter += "|" + FilterPair(format);
    return filter;
}

QString OpenDialog::TypeFilter(FileType code)
{
    const FileFormat* format = FindFileFormat(code);
    return format && format->OpenOption ? QtFilter(FilterPair(*format)) : QString();
}

OpenDialog::OpenDialog(MainWindow& main, ProgramState& state) : QWidget(&main, Qt::Dialog), main_(main), state_(state)
{
    setObjectName("OpenDialog");
    setWindowTitle("Open");

    fraFileType_ = new QGroupBox("File Type", this);
    fraFileType_->setObjectName("fraFileType");
    auto* optionsLayout = new QGridLayout(fraFileType_);
    int shown = 0;
    for (const FileFormat& format : FileFormats()) {
        auto* button = new QRadioButton(format.OptionCaption, fraFileType_);
        button->setObjectName(format.OptionName);
        button->setVisible(format.OpenOption);
        if (format.OpenOption) {
            optionsLayout->addWidget(button, shown % 5, shown / 5);
            ++shown;
        }
        options_[format.Type] = button;
        const FileType code = format.Type;
        connect(button, &QRadioButton::toggled, this, [this, code](bool checked) {
            if (checked) state_.CurrentType = code;
        });
    }
    // One more option that changes nothing when chosen, and that nothing shows.
    auto* history = new QRadioButton("PDDX FWD Cal History", fraFileType_);
    history->setObjectName("optPDDXHistory");
    history->hide();
    // The option shown selected before the settings are applied.
    {
        const QSignalBlocker quiet(options_[FileType::DynatestF25]);
        options_[FileType::DynatestF25]->setChecked(true);
    }

    auto* fileLabel = new QLabel("Filename:", this);
    fileLabel->setObjectName("lblFilename");
    txtFilename_ = new QLineEdit(this);
    txtFilename_->setObjectName("txtFilename");
    fileLabel->setBuddy(txtFilename_);
    txtFilename_->installEventFilter(this);

    auto* cmdBrowse = new QPushButton("&Browse", this);
    cmdBrowse->setObjectName("cmdBrowse");
    cmdBatch_ = new QPushButton("B&atch", this);
    cmdBatch_->setObjectName("cmdBatch");
    cmdBlank_ = new QPushButton("Blank &PDDX", this);
    cmdBlank_->setObjectName("cmdBlank");
    auto* cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdBrowse);
    buttons->addWidget(cmdBatch_);
    buttons->addWidget(cmdBlank_);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(fraFileType_);
    top->addLayout(buttons);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(txtFilename_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(fileRow);

    connect(cmdBrowse, &QPushButton::clicked, this, &OpenDialog::Browse);
    connect(cmdBatch_, &QPushButton::clicked, this, &OpenDialog::Batch);
    connect(cmdBlank_, &QPushButton::clicked, this, &OpenDialog::Blank);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
    // Browse converts what is chosen: it is the dialog's default.
    DialogKeys(this, cmdBrowse, [this] { hide(); });
    // Enter never starts a batch or a blank document, even on their buttons: it reads the typed
    // path (the filter below, which goes before the one DialogKeys put on).
    cmdBatch_->setAutoDefault(false);
    cmdBlank_->setAutoDefault(false);
    installEventFilter(this);
    // Ctrl+O in the dialog itself, as in the main window, starts again in the Filename box.
    auto* again = new QAction(this);
    again->setShortcut(QKeySequence::Open);
    connect(again, &QAction::triggered, this, &OpenDialog::ShowActive);
    addAction(again);

    // Loading: the default type from the settings. Codes with no visible option (5, or one out
    // of range) select nothing and leave the type in use as it is.
    followedFileType_ = state_.Settings.Type;
    Select(followedFileType_);
}

void OpenDialog::FollowSettings()
{
    if (state_.Settings.Type == followedFileType_) return;
    followedFileType_ = state_.Settings.Type;
    Select(followedFileType_);
}

void OpenDialog::changeEvent(QEvent* event)
{
    // Coming back from the settings window: its type shows before anything is chosen.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FollowSettings();
    QWidget::changeEvent(event);
}

bool OpenDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the Filename box, or anywhere in the dialog but on the Browse and Cancel buttons,
    // reads the path typed there; with an empty box it browses.
    if ((watched == txtFilename_ || watched == this) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !(key->modifiers() & ~Qt::KeypadModifier) && !txtFilename_->text().isEmpty()) {
            ReadChosen();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OpenDialog::Select(FileType code)
{
    const auto found = options_.find(code);
    if (found == options_.end() || !HasReader(code)) return;
    found->second->setChecked(true);
    // Already shown selected (F25 at first): the type in use follows what is shown.
    state_.CurrentType = code;
}

QRadioButton* OpenDialog::Option(const char* name) const { return findChild<QRadioButton*>(name); }

void OpenDialog::OpenFile()
{
    purpose_ = Purpose::Open;
    ShowActive();
}

// A merge reads one file into the window's document: no batch, no blank document.
void OpenDialog::ShowPurpose()
{
    const bool open = purpose_ == Purpose::Open;
    setWindowTitle(open ? "Open" : "Merge File");
    cmdBatch_->setVisible(open);
    cmdBlank_->setVisible(open);
}

void OpenDialog::AppendFile(ReviewWindow* review, std::shared_ptr<PDDXFile> document,
                            std::shared_ptr<ReadingState> reading)
{
    targetReview_ = review;
    targetDocument_ = std::move(document);
    targetReading_ = std::move(reading);
    purpose_ = Purpose::Merge;
    ShowActive();
}

// Shown in front with the keyboard in the Filename box, its text selected so that a path typed
// replaces it (a window manager gives a window no focus of its own, and the button pressed last
// would keep it).
void OpenDialog::ShowActive()
{
    FollowSettings();
    ShowPurpose();
    show();
    raise();
    activateWindow();
    FocusFilename();
}

void OpenDialog::FocusFilename()
{
    txtFilename_->setFocus(Qt::OtherFocusReason);
    txtFilename_->selectAll();
}

void OpenDialog::ShowFailure(const std::exception& failure)
{
    main_.UserPrompts().Warn(this, kProgramTitle, FailureText(failure));
}

bool OpenDialog::ReadChosen()
{
    inputFileName_ = txtFilename_->text();
    if (inputFileName_.isEmpty()) {
        hide();
        return true;
    }
    // Opened once, when first looked at: what it looks like is told from the bytes then read.
    InputFile input = InputFile::Named(NativeName(inputFileName_));
    if (!ConfirmType(input)) return false;
    const bool append = purpose_ == Purpose::Merge && targetDocument_;
    std::shared_ptr<PDDXFile> document = append ? targetDocument_ : std::make_shared<PDDXFile>();
    // A new document is read from a fresh reading; a merge goes on from its document's.
    std::shared_ptr<ReadingState> reading = append ? targetReading_ : nullptr;
    if (!reading) reading = std::make_shared<ReadingState>(NewReading(state_.Settings));
    ReadReport report;
    try {
        report = ReadInput(state_.Settings, *reading, state_.CurrentType, input, *document, append);
    } catch (const UnknownFileType& failure) {
        // Nothing was read: a window being merged into stays exactly as it was.
        ShowFailure(failure);
        return false;
    } catch (const std::exception& failure) {
        // A merge that failed half way has changed the window's document: show what it holds.
        if (append && targetReview_) targetReview_->SetPDDXDataSet(document);
        ShowFailure(failure);
        return false;
    }

    RememberRecentFile(state_, NativeName(inputFileName_), state_.CurrentType);
    std::vector<std::string> warningLines = WarningLines(NativeName(inputFileName_), report.Lines);
    // First: that nothing was read, or that the file looks like another type, explains the rest.
    if (!report.Warning.empty())
        warningLines.insert(warningLines.begin(), NativeName(inputFileName_) + ": " + report.Warning);
    if (append && targetReview_) {
        targetReview_->AddSource(inputFileName_);
        targetReview_->SetPDDXDataSet(document);
        targetReview_->SetReading(reading);
        targetReview_->AddWarnings(warningLines);
    } else {
        // Open mode, or a merge whose window has been closed meanwhile: a window of its own.
        auto* review = new ReviewWindow(main_.UserPrompts());
        review->SetPDDXDataSet(document);
        review->SetReading(reading);
        review->AddWarnings(warningLines);
        review->SetSourceFile(inputFileName_);
        main_.AddReviewWindow(review);
        review->Grid()->ElementCheckFlags();
    }
    hide();
    return true;
}

// Asks before a file whose content clearly belongs to another type than the chosen one is read:
// Yes reads it as that type, No as the chosen one, Cancel not at all (false).
bool OpenDialog::ConfirmType(InputFile& input)
{
    const std::string& fileName = input.Name;
    Detection detection;
    try {
        detection = DetectInput(input);
    } catch (const std::exception&) {
        return true;  // the reader tells what is wrong with the file
    }
    if (!detection.ClearlyOther(state_.CurrentType)) return true;
    // A kind that no reader reads: asking would offer a choice that cannot help.
    if (!HasReader(detection.Type)) {
        ShowFailure(ReadError(fileName, 0, NotReadableOnItsOwn(detection.Type)));
        return false;
    }
    const QString name = QString::fromLatin1(FileTypeName(detection.Type));
    const auto answer = main_.UserPrompts().Ask(this, kProgramTitle,
                                                "This looks like a " + name + " file. Read it as " + name + "?",
                                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) Select(detection.Type);
    return answer == QMessageBox::Yes || answer == QMessageBox::No;
}

QString OpenDialog::ChooseInput(const QString& titleBefore, const QString& titleAfter)
{
    QString chosen = main_.UserPrompts().OpenFileName(
        this, titleBefore + QString::fromLatin1(FileTypeName(state_.CurrentType)) + titleAfter,
        QString::fromLocal8Bit(state_.WorkingInputPath), QtFilter(FileFilter()), TypeFilter(state_.CurrentType));
    if (chosen.isEmpty()) return chosen;
    inputFileName_ = chosen;
    state_.WorkingInputPath = FolderOf(chosen).toLocal8Bit().toStdString();
    txtFilename_->setText(chosen);
    return chosen;
}

void OpenDialog::Browse()
{
    FollowSettings();
    if (!ChooseInput("Open ", " File").isEmpty()) ReadChosen();
    // Still shown (cancelled, or the file not read): ready for a path typed.
    if (isVisible()) FocusFilename();
}

void OpenDialog::Batch()
{
    ConvertFolder();
    // Still shown: ready for a path typed, whatever the batch's questions left focused.
    if (isVisible()) FocusFilename();
}

void OpenDialog::ConvertFolder()
{
    FollowSettings();
    const QString chosen = ChooseInput("Find ", " File in Directory to be Processed");
    if (chosen.isEmpty()) return;

    const std::vector<BatchFile> files = BatchFiles(NativeName(chosen));
    QStringList names;
    for (const std::size_t i : ByName(files)) names << kBullet + QString::fromLocal8Bit(files[i].Name);
    const QString found = QString("The following files were found with the same extension. \n%1 %2 in %3")
                              .arg(files.size())
                              .arg(files.size() == 1 ? "file" : "files")
                              .arg(FolderOf(chosen));
    if (main_.UserPrompts().List(this, kBatchTitle, found, names,
                                 " Do you wish to convert all of the files to PDDX Standard?\n\nClick <Yes> to "
                                 "continue or <No> to cancel...",
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Question) != QMessageBox::Yes)
        return;

    // The outputs land beside the inputs, a file for each processor converted at a time; the first
    // failure ends the batch, and what was written before it stays. The batch runs on a thread of
    // its own, so that the progress stays drawn and Cancel stops it at once, inside a file too,
    // leaving that file unwritten.
    const int count = static_cast<int>(files.size());
    QProgressDialog progress(kBatchTitle, "&Cancel", 0, count, this);
    progress.setObjectName("dlgBatchProgress");
    progress.setWindowTitle(kBatchTitle);
    // Wide enough that the window manager's title bar shows the title whole beside its buttons.
    progress.setMinimumWidth(progress.fontMetrics().horizontalAdvance(kBatchTitle) + kTitleBarButtons);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    std::atomic<bool> stop = false, finished = false;
    connect(&progress, &QProgressDialog::canceled, &progress, [&stop] { stop = true; });
    // Written by the batch's thread, read here once it has ended.
    std::vector<BatchOutcome> outcomes(files.size(), BatchOutcome::NotTried);
    std::size_t current = 0;
    bool failed = false;
    QString why;
    std::vector<std::pair<std::size_t, std::string>> warnings;  // the file's index, the warning
    const BatchProgress told{.Starting =
                                 [&](std::size_t i) {
                                     current = i;
                                     // Waited for, so that the file box and the progress name the file being converted.
                                     QMetaObject::invokeMethod(
                                         &progress,
                                         [&, i] {
                                             progress.setLabelText(QString("File %1 of %2:\n%3")
                                                                       .arg(i + 1)
                                                                       .arg(count)
                                                                       .arg(QString::fromLocal8Bit(files[i].Name)));
                                             progress.setValue(static_cast<int>(i));
                                             txtFilename_->setText(QString::fromLocal8Bit(files[i].Input));
                                         },
                                         Qt::BlockingQueuedConnection);
                                 },
                             .Skipped = [&](std::size_t i) { outcomes[i] = BatchOutcome::Skipped; },
                             .Written = [&](std::size_t i) { outcomes[i] = BatchOutcome::Written; },
                             .Read =
                                 [&](std::size_t i, const ReadReport& report) {
                                     for (std::string& line : WarningLines(files[i].Name, report.Lines))
                                         warnings.emplace_back(i, std::move(line));
                                     if (!report.Warning.empty())
                                         warnings.emplace_back(i, files[i].Name + ": " + report.Warning);
                                 },
                             .Stop = [&] { return stop.load(); }};
    // Copies: the settings window may change the settings while the batch runs.
    const SettingsRecord settings = state_.Settings;
    const FileType type = state_.CurrentType;
    std::thread batch([&] {
        try {
            ConvertBatch(settings, type, files, told, std::max(1u, std::thread::hardware_concurrency()));
        } catch (const std::exception& failure) {
            failed = true;
            outcomes[current] = BatchOutcome::Failed;
            why = FailureText(failure);
        }
        finished = true;
        QMetaObject::invokeMethod(
            &progress, [] {}, Qt::QueuedConnection);  // wakes the loop below
    });
    while (!finished) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    batch.join();
    // Cancel pressed after the last file was written stopped nothing.
    const bool stopped = stop && std::count(outcomes.begin(), outcomes.end(), BatchOutcome::NotTried) > 0;
    progress.setValue(count);
    const BatchSummary summary = SumUp(files, outcomes, why, stopped && !failed, warnings);
    main_.UserPrompts().List(this, kBatchTitle, summary.Text, summary.Lines, QString(), QMessageBox::Ok,
                             failed ? QMessageBox::Warning : QMessageBox::Information);
}

bool OpenDialog::OpenNamed(const QString& fileName, std::optional<FileType> fileType)
{
    if (fileType) Select(*fileType);
    const Purpose purpose = purpose_;
    purpose_ = Purpose::Open;
    txtFilename_->setText(fileName);
    const bool opened = ReadChosen();
    purpose_ = purpose;
    return opened;
}

void OpenDialog::Blank()
{
    inputFileName_ = kBlankName;
    try {
        if (purpose_ == Purpose::Merge && targetReview_ && targetDocument_) {
            targetReview_->AddSource(kBlankName);
            targetReview_->SetPDDXDataSet(targetDocument_);
        } else {
            auto* review = new ReviewWindow(main_.UserPrompts());
            review->SetPDDXDataSet(std::make_shared<PDDXFile>());
            review->SetSourceFile(kBlankName);
            main_.AddReviewWindow(review);
            review->AddTestsButton()->show();
        }
    } catch (const std::exception&) {
        main_.UserPrompts().Warn(this, kProgramTitle, "Unable to create file " + inputFileName_);
        return;
    }
    hide();
}

void OpenDialog::closeEvent(QCloseEvent* event)
{
    // Hiding keeps the dialog; closing its window ends it, and the next use builds a new one.
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget::closeEvent(event);
}

}  // namespace vantrel
