// What the windows show is readable: every caption has the room it needs, and the JILS offset
// boxes hold the longest offsets the count list puts in them without scrolling.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <memory>

#include "support/GuiSupport.h"
#include "support/TestSupport.h"
#include "gui/frmConfiguration.h"
#include "gui/frmDialog.h"
#include "gui/frmMain.h"
#include "gui/info/frmAbout.h"
#include "gui/info/frmInstructions.h"
#include "gui/review/frmReview.h"

namespace vantrel {
namespace {

// Shows the window, lets it lay itself out, and checks each visible label and button.
void ExpectCaptionsFit(QWidget& window)
{
    window.show();
    QApplication::processEvents();
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) continue;
        const QString name = window.objectName() + "/" + label->objectName() + " \"" + label->text() + "\"";
        if (label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name.toStdString();
        } else {
            EXPECT_GE(label->width(), label->sizeHint().width()) << name.toStdString();
            EXPECT_GE(label->height(), label->fontMetrics().height()) << name.toStdString();
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) continue;
        const QString name = window.objectName() + "/" + button->objectName();
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << name.toStdString();
    }
}

// True when the box shows its whole text: with the cursor at the end, nothing has scrolled out.
bool ShowsWholeText(QLineEdit& box)
{
    box.setCursorPosition(static_cast<int>(box.text().size()));
    box.grab();  // the box works out its scrolling when it paints
    return box.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() >= box.fontMetrics().horizontalAdvance(box.text());
}

struct Program {
    test::TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    test::ScriptedPrompts prompts;
    frmMain main{state, prompts.Table()};
    Program() { main.show(); }
};

TEST(WindowLayout, EveryCaptionOfEveryWindowHasTheRoomItNeeds)
{
    Program program;
    program.main.OpenFile();
    ExpectCaptionsFit(program.main.Dialog());

    program.main.Configure();
    frmConfiguration& settings = *program.main.Configuration();
    settings.findChild<QAbstractButton*>("optJils")->click();
    ExpectCaptionsFit(settings);

    program.main.ShowInstructions();
    ExpectCaptionsFit(*program.main.findChild<frmInstructions*>());
    program.main.ShowAbout();
    auto* about = program.main.findChild<frmAbout*>();
    ASSERT_NE(about, nullptr);
    ExpectCaptionsFit(*about);
    about->findChild<QAbstractButton*>("cmdAcknowledge")->click();
    auto* acknowledge = program.main.findChild<frmAcknowledge*>();
    ASSERT_NE(acknowledge, nullptr);
    ExpectCaptionsFit(*acknowledge);

    // The review window places its controls by hand, so its captions are the likeliest to clip.
    program.main.OpenFile();
    program.main.Dialog().findChild<QAbstractButton*>("cmdBlank")->click();
    ASSERT_FALSE(program.main.ReviewWindows().isEmpty());
    frmReview* review = program.main.ReviewWindows().back();
    review->SetDataChanged(true);
    for (QAbstractButton* button : review->findChildren<QAbstractButton*>()) button->show();
    ExpectCaptionsFit(*review);
}

TEST(WindowLayout, JilsOffsetBoxesShowTheLongestOffsetsWhole)
{
    Program program;
    program.main.Configure();
    frmConfiguration& settings = *program.main.Configuration();
    settings.findChild<QAbstractButton*>("optJils")->click();
    settings.show();
    QApplication::processEvents();
    auto* count = settings.findChild<QComboBox*>("cboJILSNumSensors");
    auto* x = settings.findChild<QLineEdit*>("txtJILSXAxis");
    auto* y = settings.findChild<QLineEdit*>("txtJILSYAxis");
    ASSERT_TRUE(count && x && y);
    for (int position = 0; position < count->count(); ++position) {
        count->setCurrentIndex(position);
        emit count->activated(position);
        EXPECT_TRUE(ShowsWholeText(*x)) << "x offsets for " << count->itemText(position).toStdString() << ": \""
                                        << x->text().toStdString() << "\" in " << x->width() << " pixels";
        EXPECT_TRUE(ShowsWholeText(*y)) << "y offsets for " << count->itemText(position).toStdString();
    }
    // A box that is too narrow for its text does report it.
    x->setText(QString("0, 8, 12, 18, 24, 36, 48, 60,-12").repeated(4));
    EXPECT_FALSE(ShowsWholeText(*x));
}

}  // namespace
}  // namespace vantrel
