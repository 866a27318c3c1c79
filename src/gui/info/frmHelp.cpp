#include "gui/info/frmHelp.h"

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
        {"frmMain", "index.html"},
        {"frmDialog", "open.html"},
        {"fraFileType", "open.html#types"},
        {"txtFilename", "open.html#browse"},
        {"cmdBrowse", "open.html#browse"},
        {"cmdBatch", "open.html#batch"},
        {"cmdBlank", "open.html#blank"},
        {"frmReview", "review.html"},
        {"pdxDataGrid", "review.html#grid"},
        {"pdxGrid", "review.html#grid"},
        {"cmdWrite", "review.html#write"},
        {"cmdAddSection", "review.html#tests"},
        {"fraFind", "review.html#find"},
        {"cmdFind", "review.html#find"},
        {"fraPlots", "review.html#plots"},
        {"cmdPlots", "review.html#plots"},
        {"txtSource", "review.html#sources"},
        {"frmConfiguration", "settings.html"},
        {"fraJILSDefaults", "settings.html#jils"},
        {"frmInstructions", "index.html"},
    };
    return topics;
}

}  // namespace

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window)
{
    RegisterHelpTopics();
    setObjectName("frmHelp");
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

QString frmHelp::TopicFor(const QWidget* focus)
{
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        const auto found = Topics().find(widget->objectName());
        if (found != Topics().end()) return found.value();
    }
    return "index.html";
}

void frmHelp::ShowTopic(const QString& topic)
{
    browser_->setSource(QUrl("qrc:/help/" + topic));
}

frmHelp* frmHelp::ShowFor(QWidget* focus, QWidget* owner)
{
    // Asked from inside the help window itself, the help stays where it is.
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget())
        if (auto* help = qobject_cast<const frmHelp*>(widget)) return const_cast<frmHelp*>(help);
    auto* help = owner->findChild<frmHelp*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help) help = new frmHelp(owner);
    help->ShowTopic(TopicFor(focus));
    help->show();
    help->raise();
    return help;
}

}  // namespace vantrel
