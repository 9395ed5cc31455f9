#pragma once
// The input trigger dialogs. Each resets its results in Module1 when it is created, writes them
// on a valid OK and leaves TriggerOk at 0 on Cancel or the close box. Created for one showing.
#include "ui/dialogs/trigger_boxes.h"

#include <QDialog>

class QComboBox;

// Input mask for the trigger commands; its title is Module1::TriggerTitle.
class Form_Trigger : public QDialog {
    Q_OBJECT
  public:
    explicit Form_Trigger(QWidget* parent = nullptr);
    void SetLingua();

  private:
    void Command_Ok_Click();
    TriggerBoxes boxes_;
};

// Input mask and quota for zero at flight.
class Form_ZeroAlVolo : public QDialog {
    Q_OBJECT
  public:
    explicit Form_ZeroAlVolo(QWidget* parent = nullptr);
    void SetLingua();

  private:
    void Command_Ok_Click();
    TriggerBoxes boxes_;
    QComboBox* quota_ = nullptr;
};

// The items of the quota list: 0, 256, 512, 768, 1024, then 25600 to 256000 by 12800.
QStringList ZFlyQuotaItems();
