// Placeholder until the program editor lands.
#include "editor/form_prgeeprom.h"

void ShowProgramEditor(QWidget*) {}
