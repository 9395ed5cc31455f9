#pragma once
// Pieces shared by the dialogs made of labelled drop-down lists.
#include <QStringList>

class QComboBox;
class QDialog;
class QGridLayout;

// An editable list whose text starts as "-" (nothing chosen, not an item); what is typed is
// what is read.
QComboBox* ChoiceCombo(QDialog& dialog, QGridLayout* grid, int row, const char* labelName,
                       const char* labelText, const char* comboName, const QStringList& items);
// Selects the whole text of a small entry box when it gets the focus.
class QLineEdit;
void SelectAllOnFocus(QLineEdit* edit);
QStringList NumberItems(int first, int last);
// A grid above the OK / Cancel row; the dialog keeps its natural size.
QGridLayout* ComboDialogBody(QDialog& dialog);
