#include "gui/review/frmReview.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <exception>

#include "core/Conversion.h"
#include "core/OutputNames.h"
#include "gui/NativeName.h"
#include "gui/Prompts.h"
#include "base/modConvert.h"
#include "gui/Twips.h"
#include "gui/review/pdxGrid.h"

namespace vantrel {
namespace {

const QString kSaveFilter = "PDDX Data Files|*.DDX";

// File names go to the core in the system's own encoding, as the file system knows them.
}  // namespace

frmReview::frmReview(Prompts& prompts, QWidget* parent) : QWidget(parent), prompts_(prompts)
{
    setObjectName("frmReview");
    setWindowTitle("Review");

    auto* sourceLabel = new QLabel("Source Files:", this);
    sourceLabel->setObjectName("Label1");
    txtSource_ = new QPlainTextEdit(this);
    txtSource_->setObjectName("txtSource");
    txtSource_->setReadOnly(true);
    auto* hint = new QLabel("Highlighted fields need input or validation by user.", this);
    hint->setObjectName("Label2");
    lblStatus_ = new QLabel("Data Not Saved", this);
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setStyleSheet("color: red; font-weight: bold;");
    lblStatus_->hide();
    cmdWrite_ = new QPushButton("&Write PDDX File", this);
    cmdWrite_->setObjectName("cmdWrite");
    cmdAddSection_ = new QPushButton("Add &Tests", this);
    cmdAddSection_->setObjectName("cmdAddSection");
    cmdAddSection_->hide();
    cmdAppend_ = new QPushButton("Merge Another File", this);
    cmdAppend_->setObjectName("cmdAppend");
    cmdAppend_->hide();
    Command1_ = new QPushButton("Command1", this);
    Command1_->setObjectName("Command1");
    Command1_->hide();
    pdxDataGrid_ = new pdxGrid(this);
    pdxDataGrid_->setObjectName("pdxDataGrid");

    // Fixed places above the grid; only the grid follows the window's size.
    const int line = fontMetrics().height();
    sourceLabel->setGeometry(8, 8, 120, line + 4);
    txtSource_->setGeometry(8, 12 + line, 360, line * 3 + 12);
    cmdWrite_->setGeometry(380, 8, 150, line + 12);
    cmdAddSection_->setGeometry(380, 16 + line + 12, 150, line + 12);
    cmdAppend_->setGeometry(540, 8, 150, line + 12);
    Command1_->setGeometry(540, 16 + line + 12, 150, line + 12);
    hint->setGeometry(8, 24 + line * 4 + 12, 360, line + 4);
    lblStatus_->setGeometry(380, 24 + line * 4 + 12, 200, line + 4);
    pdxDataGrid_->setGeometry(0, 32 + line * 5 + 16, 700, 300);
    resize(720, 520);

    connect(cmdWrite_, &QPushButton::clicked, this, [this] { Write(); });
    connect(cmdAddSection_, &QPushButton::clicked, this, [this] { AddTests(); });
    connect(cmdAppend_, &QPushButton::clicked, this, [this] {
        if (OnMerge) OnMerge(this);
    });
    connect(Command1_, &QPushButton::clicked, this, [this] { pdxDataGrid_->ElementCheckFlags(); });
}

frmReview::~frmReview()
{
    if (document_ && subscription_) document_->UnsubscribeElementChange(subscription_);
}

void frmReview::SetPDDXDataSet(std::shared_ptr<PDDXFile> document)
{
    if (document_ && subscription_) document_->UnsubscribeElementChange(subscription_);
    subscription_ = 0;
    document_ = std::move(document);
    if (document_) {
        subscription_ = document_->SubscribeElementChange([this](PDDXElement& element) { ElementChanged(element); });
        pdxDataGrid_->Attach(*document_);
    }
    SetDataChanged(true);
}

void frmReview::ElementChanged(PDDXElement& element)
{
    pdxDataGrid_->ElementChange(element);
    SetDataChanged(true);
}

void frmReview::SetSourceFile(const QString& source)
{
    sourceFile_ = source;
    txtSource_->setPlainText(source);
    const qsizetype slash = source.lastIndexOf('/');
    setWindowTitle(slash < 0 ? source : source.mid(slash + 1));
    outputName_ = QString::fromLocal8Bit(ReviewOutputName(NativeName(source)));
}

void frmReview::AddSource(const QString& fileName)
{
    txtSource_->setPlainText(txtSource_->toPlainText() + "\n" + fileName);
}

void frmReview::AddBlankDropData(int dropsToAdd)
{
    document_->AddDropData(dropsToAdd);
    SetPDDXDataSet(document_);
}

void frmReview::SetDataChanged(bool changed)
{
    dataChanged_ = changed;
    lblStatus_->setVisible(changed);
}

bool frmReview::Write()
{
    writeFailed_ = false;
    if (!document_) return false;
    const QString chosen = prompts_.SaveFileName(this, "Write PDDX File", outputName_, QtFilter(kSaveFilter));
    if (chosen.isEmpty()) return false;
    try {
        WriteDocument(*document_, NativeName(chosen));
    } catch (const std::exception& e) {
        // Nothing was written, so the document stays unsaved.
        writeFailed_ = true;
        prompts_.Warn(this, "Vantrel", QString::fromLocal8Bit(e.what()));
        return false;
    }
    SetDataChanged(false);
    return true;
}

void frmReview::AddTests()
{
    if (!document_) return;
    document_->AddTestLocation();
    SetPDDXDataSet(document_);
    const QString count =
        QString::fromLatin1(document_->Element("Deflection Data", "NumberOfTestLocations").Value());
    const QString answer = prompts_.Input(this, "Input Number of Drops",
                                               "How many drops are associated with Test Location " + count);
    // The answer is read as a 16-bit whole number ("2.6" is 3 drops); an empty answer (or
    // Cancel), one that is no number or too large, or a negative one adds none.
    int drops = 0;
    try {
        drops = ToInt16(NativeName(answer));
    } catch (const std::exception&) {
        drops = 0;
    }
    if (drops < 0) drops = 0;
    AddBlankDropData(drops);
}

void frmReview::closeEvent(QCloseEvent* event)
{
    if (!DataChanged()) {
        event->accept();
        return;
    }
    const auto answer = prompts_.Ask(
        this, outputName_, "PDDX file has not been saved.\nDo you want to save " + outputName_ + "?",
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        event->ignore();
        return;
    }
    if (answer == QMessageBox::Yes) {
        Write();
        // A file that could not be created keeps the window, so the data is not lost unnoticed.
        if (writeFailed_) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void frmReview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int width = this->width() - TwipsToPixels(this, 50);
    if (width > 0) pdxDataGrid_->resize(width, pdxDataGrid_->height());
    const int band = TwipsToPixels(this, 450, true);
    if (pdxDataGrid_->y() + band < height())
        pdxDataGrid_->resize(pdxDataGrid_->width(), height() - pdxDataGrid_->y() - band);
    pdxDataGrid_->move(0, pdxDataGrid_->y());
}

}  // namespace vantrel
