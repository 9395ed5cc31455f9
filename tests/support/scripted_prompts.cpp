#include "scripted_prompts.h"

#include <QDialog>
#include <QPrinter>

ScriptedPrompts::ScriptedPrompts() {
    SetUiPrompts(this);
}
ScriptedPrompts::~ScriptedPrompts() {
    SetUiPrompts(nullptr);
}

void ScriptedPrompts::message(QWidget*, const QString& title, const QString& text, bool error) {
    messages.push_back({title, text, error});
}

bool ScriptedPrompts::question(QWidget*, const QString& title, const QString& text) {
    questions.push_back({title, text, false});
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompts::input(QWidget*, const QString& prompt, const QString& title) {
    inputsAsked.push_back({title, prompt, false});
    if (inputs.empty()) return QString();
    QString a = inputs.front();
    inputs.pop_front();
    return a;
}

void ScriptedPrompts::beep() {
    ++beeps;
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& filter) {
    filters << filter;
    if (fileNames.empty()) return QString();
    QString a = fileNames.front();
    fileNames.pop_front();
    return a;
}

QString ScriptedPrompts::saveFileName(QWidget* w, const QString& filter) {
    return openFileName(w, filter);
}

bool ScriptedPrompts::printDialog(QWidget*, QPrinter&) {
    if (printAnswers.empty()) return false;
    bool a = printAnswers.front();
    printAnswers.pop_front();
    return a;
}

int ScriptedPrompts::runDialog(QDialog& dialog) {
    ++dialogsShown;
    // Let the dialog run its load step as a shown dialog would.
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (!dialogActions.empty()) {
        auto action = dialogActions.front();
        dialogActions.pop_front();
        action(dialog);
    } else {
        dialog.reject();
    }
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

void ScriptedPrompts::printPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    ++previews;
    if (previewFile.isEmpty()) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(previewFile);
    paint(&printer);
}
