#pragma once
// Answers to the program's modal questions, given in advance as a user would give them, and a
// record of what was asked.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <string>

#include "gui/Prompts.h"

namespace vantrel::test {

struct ScriptedPrompts {
    QStringList informed;
    QStringList warned;  // failures, kept apart from plain messages
    QStringList askedTitles;
    QStringList askedTexts;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QString openAnswer;
    QStringList openTitles;
    QStringList openStarts;
    QStringList openFilters;
    QString saveAnswer;
    QStringList saveSuggestions;
    QStringList saveFilters;
    QString inputAnswer;
    QStringList inputTitles;
    QStringList inputPrompts;
    QString folderAnswer;
    QStringList folderTitles;

    // The prompt table that answers from this script, for the main window to hand out.
    Prompts Table()
    {
        Prompts p;
        p.Inform = [this](QWidget*, const QString&, const QString& text) { informed << text; };
        p.Warn = [this](QWidget*, const QString&, const QString& text) { warned << text; };
        p.Ask = [this](QWidget*, const QString& title, const QString& text, QMessageBox::StandardButtons) {
            askedTitles << title;
            askedTexts << text;
            return answer;
        };
        p.Input = [this](QWidget*, const QString& title, const QString& prompt) {
            inputTitles << title;
            inputPrompts << prompt;
            return inputAnswer;
        };
        p.OpenFileName = [this](QWidget*, const QString& title, const QString& start, const QString& filter) {
            openTitles << title;
            openStarts << start;
            openFilters << filter;
            return openAnswer;
        };
        p.SaveFileName = [this](QWidget*, const QString&, const QString& suggestion, const QString& filter) {
            saveSuggestions << suggestion;
            saveFilters << filter;
            return saveAnswer;
        };
        p.Folder = [this](QWidget*, const QString& title) {
            folderTitles << title;
            return folderAnswer;
        };
        return p;
    }
    ScriptedPrompts() = default;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;
};

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace vantrel::test
