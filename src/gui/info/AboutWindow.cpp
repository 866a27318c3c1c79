#include "gui/info/AboutWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/DialogWindow.h"

namespace vantrel {
namespace {

const QString kProgramTitle = "Vantrel";

QLabel* Picture(QWidget* parent, QStyle::StandardPixmap which, const char* name)
{
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setPixmap(parent->style()->standardIcon(which).pixmap(48, 48));
    return picture;
}

}  // namespace

QString VersionLabelText()
{
    return "Version " + QString::number(VANTREL_VERSION_MAJOR) + "." + QString::number(VANTREL_VERSION_MINOR) + "." +
           QString::number(VANTREL_VERSION_PATCH);
}

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName("AboutWindow");
    setWindowTitle("About Vantrel");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* title = new QLabel(kProgramTitle, this);
    title->setObjectName("lblTitle");
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.2);
    titleFont.setWeight(QFont::Black);
    title->setFont(titleFont);
    auto* version = new QLabel(VersionLabelText(), this);
    version->setObjectName("lblVersion");
    auto* description =
        new QLabel("Converts native FWD File Formats into AASHTO PDDX Standard with modifications as needed for FWD "
                   "Calibration.",
                   this);
    description->setObjectName("lblDescription");
    description->setWordWrap(true);
    auto* credit = new QPlainTextEdit(this);
    credit->setObjectName("txtCredit");
    credit->setReadOnly(true);
    credit->setPlainText("Developed by the Vantrel developers for everyone who calibrates Falling Weight "
                         "Deflectometers.");
    credit->setMaximumHeight(credit->fontMetrics().height() * 4);

    auto* cmdAcknowledge = new QPushButton("&Acknowledgements", this);
    cmdAcknowledge->setObjectName("cmdAcknowledge");
    auto* cmdClose = new QPushButton("&Close", this);
    cmdClose->setObjectName("cmdClose");
    connect(cmdAcknowledge, &QPushButton::clicked, this, [this] {
        auto* window = new AcknowledgeWindow(parentWidget() ? parentWidget() : this);
        window->show();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    DialogKeys(this, cmdClose, [this] { close(); });

    auto* top = new QHBoxLayout;
    top->addWidget(Picture(this, QStyle::SP_ComputerIcon, "picIcon"), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addWidget(description);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAcknowledge);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(credit);
    layout->addLayout(buttons);
    // As tall as the wrapped description needs at this width, no taller.
    resize(FitToScreen(this, QSize(480, layout->totalHeightForWidth(480))));
}

AcknowledgeWindow::AcknowledgeWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName("AcknowledgeWindow");
    setWindowTitle("Vantrel Acknowledgements");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* title = new QLabel(this);
    title->setObjectName("lblTitle");
    title->setText(kProgramTitle);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* thanks = new QLabel("Thank you to everyone who helped make this program.", this);
    thanks->setObjectName("lblThanks");
    auto* names = new QPlainTextEdit(this);
    names->setObjectName("txtNames");
    names->setReadOnly(true);
    names->setPlainText("Programming: the Vantrel developers\n"
                        "File formats: the FWD manufacturers' contacts who described their field programs' files\n"
                        "Testing: the FWD calibration centres and operators who tried the conversions\n");
    auto* cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    DialogKeys(this, cmdOK, [this] { close(); });

    auto* top = new QHBoxLayout;
    top->addWidget(Picture(this, QStyle::SP_MessageBoxInformation, "picIcon"));
    top->addWidget(title, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(thanks);
    layout->addWidget(names);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    resize(FitToScreen(this, QSize(480, 300)));
}

}  // namespace vantrel
