#pragma once
class QWidget;

// Shows the diagnostics window, not modal; one instance, created on first use.
void ShowDiagnostics(QWidget* owner);
