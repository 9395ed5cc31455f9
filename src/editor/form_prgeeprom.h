#pragma once
class QWidget;

// Shows the program editor, not modal; one instance, created on first use.
void ShowProgramEditor(QWidget* owner);
