#include "gui/info/HelpWindow.h"

#include <QHash>
#include <QStringList>
#include <QTextDocument>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/DialogWindow.h"
#include "import/FileFormats.h"

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
        {"fraFindings", "review.html#check"},
        {"cmdFindings", "review.html#check"},
        {"lstFindings", "review.html#check"},
        {"ExportDialog", "review.html#export"},
        {"txtSource", "review.html#sources"},
        {"SettingsWindow", "settings.html"},
        {"fraJILSDefaults", "settings.html#jils"},
        {"InstructionsWindow", "index.html"},
    };
    return topics;
}

// Where a page names the file types of the open dialog; they come from the format table, so a
// new format is named in the help without editing the page.
const QString kOfferedTypesMark = "<!--offered-types-->";

QString OfferedTypes()
{
    QStringList captions;
    for (const FileFormat& format : FileFormats())
        if (format.OpenOption) captions << QString::fromLatin1(format.OptionCaption);
    const QString last = captions.takeLast();
    return captions.join(", ") + " or " + last;
}

class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override
    {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource) return resource;
        QString html = resource.typeId() == QMetaType::QString ? resource.toString()
                                                               : QString::fromUtf8(resource.toByteArray());
        return html.replace(kOfferedTypesMark, OfferedTypes());
    }
};

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    RegisterHelpTopics();
    setObjectName("HelpWindow");
    setWindowTitle("Vantrel Help");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new HelpBrowser(this);
    browser_->setObjectName("txtHelp");
    browser_->setSearchPaths({":/help"});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    DialogKeys(this, nullptr, [this] { close(); });
    resize(FitToScreen(this, QSize(620, 520)));
    // Where a window manager would place it, part of it could be below the screen's edge.
    CentreOnScreen(this);
}

QString HelpWindow::TopicFor(const QWidget* focus)
{
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        const auto found = Topics().find(widget->objectName());
        if (found != Topics().end()) return found.value();
    }
    return "index.html";
}

void HelpWindow::ShowTopic(const QString& topic) { browser_->setSource(QUrl("qrc:/help/" + topic)); }

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
