#pragma once
// Stand-still current reduction: a time and a percentage packed into one byte
// (Module1::CurrentRedValue). Reset when created; Cancel or the close box leave CurrentRedOk 0.
#include <QDialog>

class QComboBox;

class Form_CurrentRed : public QDialog {
    Q_OBJECT
  public:
    explicit Form_CurrentRed(QWidget* parent = nullptr);
    void SetLingua();

  private:
    void Command_Ok_Click();
    QComboBox* tempo_ = nullptr;
    QComboBox* percentuale_ = nullptr;
};
