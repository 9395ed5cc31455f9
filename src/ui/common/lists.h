#pragma once
// Editable drop-down lists whose text is what the operator typed.
#include <QString>

class QComboBox;
class QEvent;
class QLineEdit;

// Makes `combo` an editable list that reads exactly what was typed: nothing completes the text
// to an item (Qt's default turns a typed "2" into 25600) and a typed text never becomes an item.
// A click into a list showing "-" (nothing chosen) selects it, so typing replaces it instead of
// turning 1000 into -1000.
void KeepTypedText(QComboBox* combo);

// For an event filter: a key that types into `edit` while it still holds the text the program put
// there (nothing typed since, nothing selected) replaces that text.
void SelectUntypedTextOnKey(QLineEdit* edit, QEvent* event);

// For a list that stands for one chosen item (the drive address): a typed text that is exactly an
// item is picked, as a click in the drop-down picks it, and its index is returned; any other text
// gives way to `inForce`, the choice that still holds, and -1 is returned. The field thus never
// shows one choice while another is used.
int CommitTypedChoice(QComboBox* combo, const QString& inForce);
