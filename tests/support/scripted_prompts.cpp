#include "scripted_prompts.h"

#include <QDialog>
#include <QPrinter>

namespace {
// The next scripted answer, or `none` when the script ran out.
template <typename T> T Next(std::deque<T>& script, T none) {
    if (script.empty()) return none;
    T a = std::move(script.front());
    script.pop_front();
    return a;
}
} // namespace

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
    return Next(answers, false);
}

QString ScriptedPrompts::input(QWidget*, const QString& prompt, const QString& title) {
    inputsAsked.push_back({title, prompt, false});
    return Next(inputs, QString());
}

void ScriptedPrompts::beep() {
    ++beeps;
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& filter) {
    filters << filter;
    return Next(fileNames, QString());
}

QString ScriptedPrompts::saveFileName(QWidget* w, const QString& filter) {
    return openFileName(w, filter);
}

bool ScriptedPrompts::printDialog(QWidget*, QPrinter&) {
    return Next(printAnswers, false);
}

int ScriptedPrompts::runDialog(QDialog& dialog) {
    // Let the dialog run its load step as a shown dialog would.
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (auto action = Next(dialogActions, std::function<void(QDialog&)>()))
        action(dialog);
    else
        dialog.reject();
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

void ScriptedPrompts::printPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    if (previewFile.isEmpty()) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(previewFile);
    paint(&printer);
}
