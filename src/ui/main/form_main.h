#pragma once
// The start window: address, motion parameters and targets, direct commands, generic send,
// initialisation sequence, the last frame / reply / description, the status line and menus.
#include "line/driveline.h"
#include "line/trafficlog.h"

#include <QMainWindow>
#include <cstdint>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class Form_main : public QMainWindow {
    Q_OBJECT
  public:
    // Builds the window, then runs the load sequence (design-time texts first).
    explicit Form_main(DriveLine& line, QWidget* parent = nullptr);
    ~Form_main() override;

    // One command to the drive at `add`: frame on the line, TX/RX/description fields filled.
    // Failures (port, link, value) are told in a message box; the outcome is returned so that a
    // sequence can stop at the first command that went wrong.
    Outcome TxRxSeriale(int16_t add, int16_t Comando, double Parametro1, double Parametro2, int16_t ntx,
                        int16_t nrx, int16_t TipoComando);

    void SetLingua();
    void CaricaListe();
    // Makes `address` (0..31) the current drive address, as picking it in the list does.
    void SelectAddress(int address);
    void AggiornaStatus();
    DriveLine& Line() { return line_; }
    TrafficLog& Log() { return log_; }

  signals:
    // The address, the language or the serial settings changed (the monitor follows them).
    void SelectionChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildMenus();
    void setDesignTexts();
    void load();

    // Handlers.
    void onAddrActivated(int index);
    // Ends typing in the address list: a typed item is picked, anything else shows the address in
    // force again. Runs on Enter and focus-out, and first in every handler that uses the address.
    void commitAddress();
    QString addressText() const;
    void sendDirect(int16_t code, int16_t ntx, int16_t nrx, double parametro1);
    void sendPositioning(QComboBox* list, QLabel* label, double& target, int16_t code);
    void onSendInit();
    void onSendCmd();
    void onPrgEeprom();
    void onSpecial();
    void onExit();
    void onSerialSetting();
    void onLanguage();
    void onAbout();

    // Refusal of a value that does not fit its bytes; `what` names the list it came from.
    void refuseValue(const QString& what, const QString& typed, long long min, long long max);

    QComboBox* combo(const char* name, int minimumWidth);
    QLabel* label(const char* name);
    QPushButton* button(const char* name);
    QLineEdit* field(const char* name);

    QComboBox *Combo_Addr, *Combo_Corrente, *Combo_Risoluzione, *Combo_Fmin, *Combo_Fmax, *Combo_Rampa;
    QComboBox *Combo_QuotaRel, *Combo_QuotaAbs, *Combo_Command;
    QLabel *Label_Addr, *Label_Corrente, *Label_Risoluzione, *Label_Fmin, *Label_Fmax, *Label_Rampa;
    QLabel *Label_QuotaRel, *Label_QuotaAbs, *Label_Command;
    QPushButton *Command_Reset, *Command_StartUltimoPos, *Command_GoZero, *Command_Stop;
    QPushButton *Command_MovInfinitoCw, *Command_MovInfinitoCcw, *Command_LowNoiseON, *Command_LowNoiseOFF;
    QPushButton *Command_LetturaPos, *Command_StartPosRel, *Command_StartPosAbs;
    QPushButton *Command_SendInit, *Command_SendCmd, *Command_PrgEeprom, *Command_SPECIAL;
    QLineEdit *TextTx, *TextRx, *ParRx;
    QGroupBox *Frame_Tx, *Frame_Rx, *Frame_ParRX;
    QLabel* Statusbar;
    QMenu *MenuFile, *MenuSettings, *MenuTools, *MenuHelp;
    QAction *VoceExit, *VoceSerialSetting, *VoceLanguage, *VoceAbout, *VoceLog, *VoceScan, *VoceMonitor;

    // A dialog opened now would run beneath an operation's wait and stall it: refused (beep).
    bool refuseDialog();

    DriveLine& line_;
    TrafficLog log_;
    int statusObserver_ = 0; // keeps the status line up with the device each exchange opens
    bool running_ = false;   // an operation of this window is waiting for the drive
};
