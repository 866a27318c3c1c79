#pragma once
// The desktop program under test: a main window over a fresh program folder, its modal questions
// answered from a script given in advance, as a user would answer them, and logged. The widgets
// the tests look into are included here once.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

#include "core/Conversion.h"
#include "gui/OpenDialog.h"
#include "gui/MainWindow.h"
#include "gui/review/ReviewWindow.h"
#include "gui/review/ReviewGrid.h"
#include "import/FileFormats.h"
#include "support/TestSupport.h"

// Failures show the text itself.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vantrel::test {

struct ScriptedPrompts {
    QStringList log;  // each question as asked: "Kind|title|text", or "Kind|title|start|filter" for the choosers
    QMessageBox::StandardButton answer = QMessageBox::No;
    QString reply;  // the name chosen, or the text typed, in whatever chooser or input box comes up
    QStringList selectedFilters;  // the filter each open chooser came up on, in the order asked
    // What File > Export Drops is told to write (nullopt: cancelled), and what it offered last.
    std::optional<ExportOptions> exportChoice = ExportOptions{};
    ExportOptions exportOffered;

    Prompts Table()
    {
        using S = const QString&;
        Prompts p;
        p.Inform = [this](QWidget*, S title, S text) { log << "Inform|" + title + "|" + text; };
        p.Warn = [this](QWidget*, S title, S text) { log << "Warn|" + title + "|" + text; };
        p.Ask = [this](QWidget*, S title, S text, auto) { log << "Ask|" + title + "|" + text; return answer; };
        p.List = [this](QWidget*, S title, S text, const QStringList& lines, S question, auto, auto) {
            log << "List|" + title + "|" + text + "|" + lines.join('\n') + "|" + question;
            return answer;
        };
        p.Input = [this](QWidget*, S title, S text) { log << "Input|" + title + "|" + text; return reply; };
        p.OpenFileName = [this](QWidget*, S title, S start, S filter, S selected) {
            log << "Open|" + title + "|" + start + "|" + filter;
            selectedFilters << selected;
            return reply;
        };
        // What the chooser would say of the file chosen, when it exists; a file it refuses is not chosen.
        p.SaveFileName = [this](QWidget*, S title, S start, S filter, const ReplaceCheck& check) {
            log << "Save|" + title + "|" + start + "|" + filter;
            const Replacing replacing = check && QFileInfo(reply).isFile() ? check(reply) : Replacing{};
            if (!replacing.Text.isEmpty()) log << (replacing.Refused ? "Refused|" : "Replace|") + replacing.Text;
            return replacing.Refused ? QString() : reply;
        };
        p.Folder = [this](QWidget*, S title) { log << "Folder|" + title; return reply; };
        p.ExportChoices = [this](QWidget*, ExportOptions& options) {
            log << "Export";
            exportOffered = options;
            if (exportChoice) options = *exportChoice;
            return exportChoice.has_value();
        };
        return p;
    }
};

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

inline int Row(const ReviewGrid& grid, const QString& section, const QString& item)
{
    for (int row = 1; row <= grid.RowCount(); ++row)
        if (grid.CellText(row, 0) == section && grid.CellText(row, 1) == item) return row;
    return 0;
}

// A value cell as the user sees it: its text, and a "*" when it is yellow.
inline QString Cell(const ReviewGrid& grid, const QString& section, const QString& item)
{
    const int row = Row(grid, section, item);
    return grid.CellText(row, 2) + (grid.IsYellow(row, 2) ? "*" : "");
}

// The yellow cells of every column.
inline int YellowCells(const ReviewGrid& grid)
{
    int count = 0;
    for (int row = 1; row <= grid.RowCount(); ++row)
        for (int column : {0, 1, 2}) count += grid.IsYellow(row, column);
    return count;
}

// Clicks a cell of the shown grid; true when the value editor came up there holding the keyboard focus.
inline bool ClickCell(ReviewGrid& grid, int row, int column = 2)
{
    const QModelIndex cell = grid.Table()->model()->index(row - 1, column);
    grid.Table()->scrollTo(cell);
    QTest::mouseClick(grid.Table()->viewport(), Qt::LeftButton, {}, grid.Table()->visualRect(cell).center());
    const auto editing = [&] {
        return grid.Editor()->isVisible() && QApplication::focusWidget() == grid.Editor() && grid.Editor()->geometry() == grid.Table()->visualRect(cell);
    };
    if (column != 2) return editing();
    // Under a window manager the focus arrives a moment after the click; one that a late
    // activation of another window took away is given a second click, as a user would.
    if (QTest::qWaitFor(editing, 1000)) return true;
    QTest::mouseClick(grid.Table()->viewport(), Qt::LeftButton, {}, grid.Table()->visualRect(cell).center());
    return QTest::qWaitFor(editing, 1000);
}

// Makes `window` the active one, as the toolkit sees it too (the focus follows only then).
inline bool Activate(QWidget& window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window) &&
           QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; });
}

// Gives `control` the keyboard focus; true once it holds it, as keys must find it there.
inline bool Focus(QWidget& control)
{
    control.setFocus();
    return QApplication::focusWidget() == &control;
}

// Keys as a user presses them, each to whatever holds the focus at that moment: "F2 Ctrl+Z" are
// keys, 'a text' is typed.
inline void PressKeys(const QString& keys)
{
    static const QRegularExpression token("'[^']*'|\\S+");
    for (const QRegularExpressionMatch& match : token.globalMatch(keys)) {
        const QString pressed = match.captured();
        if (pressed.startsWith('\'')) {
            for (const QChar c : pressed.mid(1, pressed.size() - 2)) QTest::keyClicks(QApplication::focusWidget(), c);
            continue;
        }
        const QKeyCombination key = QKeySequence::fromString(pressed)[0];
        ASSERT_TRUE(key.key() != Qt::Key_unknown && QApplication::focusWidget()) << pressed.toStdString();
        const bool printable = key.key() >= Qt::Key_Space && key.key() <= Qt::Key_AsciiTilde;
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key.key(), printable ? QString(QChar(key.key())).toLower() : QString(), key.keyboardModifiers());
        // A button's mnemonic clicks it only once its press has shown.
        if (key.keyboardModifiers() & Qt::AltModifier) QTest::qWait(150);
    }
}

struct Program {
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    ScriptedPrompts prompts;  // outlives the windows that ask through it
    MainWindow main{state, prompts.Table()};

    Program() { main.show(); }
    QString Path(const std::string& name = "") const { return Q((name.empty() ? folder.Path() : folder / name).string()); }
    // Clicks the button with `reply` ready for a chooser or input box; gives what it asked, one
    // question a line.
    QString Press(QWidget& in, const char* name, const QString& reply = {})
    {
        const qsizetype asked = prompts.log.size();
        prompts.reply = reply;
        auto* button = in.findChild<QAbstractButton*>(name);
        EXPECT_TRUE(button && button->isVisible()) << name;
        if (button) button->click();
        return prompts.log.mid(asked).join('\n');
    }
    // A PDDX file as a user would open it: a device and one location with a drop, no plate radius.
    void WritePddx(const std::string& name, const std::string& serial)
    {
        std::filesystem::create_directories((folder / name).parent_path());
        PDDXFile document;
        document.Element("Device Information", "DeviceSerialNumber").SetValue(serial);
        document.AddTestLocation().AddDropData().SetValue("50.2, 400, 330");
        WriteDocument(document, (folder / name).string());
    }
    // Such a file written and opened in a review window of its own.
    ReviewWindow& Open(const std::string& name, const std::string& serial = "S1")
    {
        WritePddx(name, serial);
        EXPECT_TRUE(main.Dialog().OpenNamed(Path(name), FileType::PDDX)) << name;
        return *main.ReviewWindows().back();
    }
    // `document` in a review window of the active main window, read (it says) from `name`.
    ReviewWindow& Review(std::shared_ptr<PDDXFile> document, const std::string& name)
    {
        auto* review = new ReviewWindow(main.UserPrompts());
        review->SetPDDXDataSet(std::move(document));
        review->SetSourceFile(Path(name));
        main.AddReviewWindow(review);
        EXPECT_TRUE(Activate(main));
        return *review;
    }
    ReviewWindow& Blank() { main.OpenFile(); Press(main.Dialog(), "cmdBlank"); return *main.ReviewWindows().back(); }
};

}  // namespace vantrel::test
