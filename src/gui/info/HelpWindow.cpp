#include "gui/info/HelpWindow.h"

#include <QHash>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/DialogWindow.h"

// Resources of a static library are registered by hand, outside any namespace.
static void RegisterHelpTopics() { Q_INIT_RESOURCE(help); }

namespace vantrel {
namespace {

// Control and window names with a topic of their own.
const QHash<QString, QString>& Topics()
{
    static const QHash<QString, QString> topics = {
        {"MainWindow", "index.html"},
        {"OpenDialog", "open.html"},
        {"fraFileType", "open.html#types"},
        {"txtFilename", "open.html#browse"},
        {"cmdBrowse", "open.html#browse"},
        {"cmdBatch", "open.html#batch"},
        {"cmdBlank", "open.html#blank"},
        {"ReviewWindow", "review.html"},
        {"pdxDataGrid", "review.html#grid"},
        {"ReviewGrid", "review.html#grid"},
        {"cmdWrite", "review.html#write"},
        {"cmdAddSection", "review.html#tests"},
        {"fraFind", "review.html#find"},
        {"cmdFind", "review.html#find"},
        {"fraPlots", "review.html#plots"},
        {"cmdPlots", "review.html#plots"},
        {"txtSource", "review.html#sources"},
        {"SettingsWindow", "settings.html"},
        {"fraJILSDefaults", "settings.html#jils"},
        {"InstructionsWindow", "index.html"},
    };
    return topics;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    RegisterHelpTopics();
    setObjectName("HelpWindow");
    setWindowTitle("Vantrel Help");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("txtHelp");
    browser_->setSearchPaths({":/help"});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    DialogKeys(this, nullptr, [this] { close(); });
    resize(FitToScreen(this, QSize(620, 520)));
}

QString HelpWindow::TopicFor(const QWidget* focus)
{
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        const auto found = Topics().find(widget->objectName());
        if (found != Topics().end()) return found.value();
    }
    return "index.html";
}

void HelpWindow::ShowTopic(const QString& topic)
{
    browser_->setSource(QUrl("qrc:/help/" + topic));
}

HelpWindow* HelpWindow::ShowFor(QWidget* focus, QWidget* owner)
{
    // Asked from inside the help window itself, the help stays where it is.
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget())
        if (auto* help = qobject_cast<const HelpWindow*>(widget)) return const_cast<HelpWindow*>(help);
    auto* help = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new HelpWindow(owner);
    help->ShowTopic(TopicFor(focus));
    help->show();
    help->raise();
    return help;
}

}  // namespace vantrel
