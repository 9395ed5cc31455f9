// Placeholder until the diagnostics window lands.
#include "ui/diagnostics/form_special.h"

void ShowDiagnostics(QWidget*) {}
