#include "gui/info/InstructionsWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/DialogWindow.h"

namespace vantrel {

QString InstructionsWindow::InstructionText()
{
    return "File ==> Open\n"
           "\tOpen a browse form to open files of various formats.\n"
           "\n"
           "Currently, Vantrel supports:\n"
           "\tDynatest F20 files in R32-20 and R80-20 'SHRP' compatible format\n"
           "\tDynatest F25 files from Version 25 and FWDWin field programs\n"
           "\tCarl Bro FWD output format\n"
           "\tJILS DAT output format\n"
           "\tKUAB FWD output format\n"
           "\tPDDX Format (allows user to check for missing data)\n"
           "\n"
           "Vantrel also reads configuration file formats, so that the existing gain settings can be "
           "imported directly into the calibration software:\n"
           "\tKUAB INI configuration file\n"
           "\tCarl Bro configuration file, exported as text by the maker's export program\n"
           "\tJILS Setup.Par and *.CFG configuration files\n"
           "\t(a Set.Par, *.cfg and DAT file need to be imported during calibration setup)\n"
           "\n"
           "Select the file type and browse for a file. The file is translated and placed into a PDDX "
           "format window. Review the data to be sure all necessary data is present. Data highlighted in "
           "yellow need to be validated or input by the user if they want to use the data in the "
           "calibration software. The Blank PDDX button creates data manually in PDDX format; any data "
           "must meet the PDDX standard.\n"
           "\n"
           "Once the data has been reviewed or prepared, write the PDDX file by clicking \"Write PDDX "
           "File\". A file name with the same root name but the DDX extension is suggested, and the file "
           "is saved in the same folder as the initial file unless changed in the file dialog box.\n";
}

InstructionsWindow::InstructionsWindow(bool& showAtStart, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("InstructionsWindow");
    setWindowTitle("Instructions");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame1");
    auto* heading = new QLabel("To Convert a File to PDDX Format", frame);
    heading->setObjectName("lblHeading");
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);
    auto* text = new QPlainTextEdit(frame);
    text->setObjectName("txtInstructions");
    text->setReadOnly(true);
    text->setPlainText(InstructionText());
    text->setTabStopDistance(text->fontMetrics().horizontalAdvance(' ') * 6);

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(heading);
    frameLayout->addWidget(text);
    auto* chkShowAtStart = new QCheckBox("&Show at start", this);
    chkShowAtStart->setObjectName("chkShowAtStart");
    chkShowAtStart->setChecked(showAtStart);
    connect(chkShowAtStart, &QCheckBox::toggled, this, [&showAtStart](bool checked) { showAtStart = checked; });
    auto* cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    DialogKeys(this, cmdClose, [this] { close(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkShowAtStart);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(FitToScreen(this, QSize(640, 520)));
    CentreOnScreen(this);
}

}  // namespace vantrel
