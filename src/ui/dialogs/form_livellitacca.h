#pragma once
// Analog spot levels: minimum and maximum in tenths of a volt (Module1::SpotMin, SpotMax).
// SpotOk is reset when created; Cancel or the close box leave it 0.
#include <QDialog>

class QComboBox;

class Form_LivelliTacca : public QDialog {
    Q_OBJECT
  public:
    explicit Form_LivelliTacca(QWidget* parent = nullptr);
    void SetLingua();

  private:
    void Command_Ok_Click();
    QComboBox* vmin_ = nullptr;
    QComboBox* vmax_ = nullptr;
};
