#pragma once
// Pieces shared by the dialogs made of labelled drop-down lists.
#include <QStringList>

class QComboBox;
class QDialog;
class QGridLayout;

// An editable list whose text starts as "-" (nothing chosen, not an item); typed texts are not
// added to the list.
QComboBox* ChoiceCombo(QDialog& dialog, QGridLayout* grid, int row, const char* labelName,
                       const char* labelText, const char* comboName, const QStringList& items);
// Selects the "-" when the list's entry field gets the focus, so that typing replaces it
// instead of turning 1000 into -1000.
void SelectNoChoiceOnFocus(QComboBox* combo);
// Selects the whole text of a small entry box when it gets the focus.
class QLineEdit;
void SelectAllOnFocus(QLineEdit* edit);
QStringList NumberItems(int first, int last);
// A grid above the OK / Cancel row; the dialog keeps its natural size.
QGridLayout* ComboDialogBody(QDialog& dialog);
