#pragma once
// Prompts answered from a script, recording what the program asked and said.
#include "ui/common/prompts.h"

#include <QStringList>
#include <deque>
#include <functional>

class ScriptedPrompts : public Prompts {
  public:
    ScriptedPrompts();           // installs itself
    ~ScriptedPrompts() override; // restores the Qt prompts

    struct Shown {
        QString title, text;
        bool error = false;
    };

    // Answers, used in order. A missing answer is Cancel / No / empty.
    std::deque<QString> inputs;
    std::deque<bool> answers;
    std::deque<QString> fileNames;
    std::deque<bool> printAnswers;
    // Each shown dialog is handed to the next action (fill it, click OK...); without one it is
    // rejected. The action's dialog result is returned when the dialog did not finish itself.
    std::deque<std::function<void(QDialog&)>> dialogActions;

    // What was shown.
    std::vector<Shown> messages;
    std::vector<Shown> questions;   // title, text
    std::vector<Shown> inputsAsked; // title, prompt
    QStringList filters;
    int beeps = 0;
    QString previewFile;

    void message(QWidget*, const QString& title, const QString& text, bool error) override;
    bool question(QWidget*, const QString& title, const QString& text) override;
    QString input(QWidget*, const QString& prompt, const QString& title) override;
    void beep() override;
    QString openFileName(QWidget*, const QString& filter) override;
    QString saveFileName(QWidget*, const QString& filter) override;
    bool printDialog(QWidget*, QPrinter&) override;
    // Paints the preview into `previewFile` (a PDF) when one is set.
    void printPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
    int runDialog(QDialog& dialog) override;
};
