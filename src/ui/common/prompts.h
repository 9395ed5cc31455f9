#pragma once
// Everything that asks or tells the operator goes through here, so tests can script it.
#include <QString>
#include <functional>

class QDialog;
class QPrinter;
class QWidget;

class Prompts {
  public:
    virtual ~Prompts() = default;
    // Message box with an OK button only; `error` shows the warning icon.
    virtual void message(QWidget* parent, const QString& title, const QString& text, bool error) = 0;
    // Yes/No question; true for Yes.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    // The same question with No as the default button, for offers that must not be taken by a
    // hasty Enter. Scripted prompts answer it as any question.
    virtual bool questionDefaultNo(QWidget* parent, const QString& title, const QString& text) {
        return question(parent, title, text);
    }
    // Input box with an empty entry field: the typed text, or empty on Cancel.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title) = 0;
    virtual void beep() = 0;
    // File dialogs: the chosen name, or empty on cancel. `filter` is a Qt filter string.
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    // Print dialog: true when the operator confirmed a printer.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    // Print preview of what `paint` draws on the printer; the operator may print from it.
    virtual void printPreview(QWidget* parent, QPrinter& printer,
                              const std::function<void(QPrinter*)>& paint) = 0;
    // Shows a modal dialog and returns its result (QDialog::exec).
    virtual int runDialog(QDialog& dialog) = 0;
};

// The prompts in force: the Qt ones unless a test installed its own.
Prompts& UiPrompts();
void SetUiPrompts(Prompts* prompts); // nullptr restores the Qt ones

// The application's default title for questions.
inline const char* const AppTitle = "VarDelo";
