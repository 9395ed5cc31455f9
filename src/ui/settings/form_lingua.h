#pragma once
// Language choice: a click changes Module1::Lingua at once; OK also writes the configuration
// file, the close box does not.
#include <QDialog>

class QRadioButton;

class Form_lingua : public QDialog {
    Q_OBJECT
  public:
    explicit Form_lingua(QWidget* parent = nullptr);
    void SetLingua();

  private:
    void Form_Load();
    void Command1_Click();

    QRadioButton* options_[3] = {};
};
