#pragma once
// The program editor window: 17 drive programs in memory, one on show in a two-column grid,
// with file, print and drive operations on the whole store.
#include "model/prggrid.h"

#include <QElapsedTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class PrgGridModel;
class PrgHistory;
struct TransferIo;
class DriveLine;

class Form_PrgEeprom : public QWidget {
    Q_OBJECT
  public:
    explicit Form_PrgEeprom(DriveLine& line, QWidget* parent = nullptr);

    // The store and the grid rows, as the operations below leave them.
    PrgGrid& Grid() { return grid_; }
    bool TransferRunning() const { return transferRunning_; }
    PrgHistory& History() { return *history_; }

    void SetLingua();
    // Shows program p in the grid (decoded) and its number in Text_PrgActive.
    void ShowPrg(int p);
    void StorePrg() { grid_.StorePrg(); }

    // The grid's cursor line.
    int CursorRow() const;
    void SetCursorRow(int row);

    // Button handlers.
    void NewCmd();
    void DelLine();
    void PrgDown();
    void PrgUp();
    void LoadPrg();
    void SavePrg();
    void PrintPrg();
    void PreviewPrg(); // the same listing in a print preview
    void ExportPdf();  // the same listing into a PDF file
    void ReadAllPrg();
    void SendAllPrg();
    void SendCurrentPrg();
    void DeletePrg();
    void DeleteAllPrg();
    void CopyPrg();
    void VerifyPrg();      // compares every program with the drive's
    void CancelTransfer(); // stops the running transfer; a program being written is closed
    void Exit();           // asks, then closes
    void Undo();
    void Redo();
    // Offers the store kept from an earlier session when this one starts empty; a damaged one is
    // set aside with a message.
    void OfferKeptStore();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void BuildHistory();
    void SetHistoryTexts();
    // Puts program p on show after an undo, a redo or a restore.
    void ShowChangedPrg(int p);
    // "\nChanged programs: 0, 3" for the exit question; empty when nothing changed.
    QString ChangedProgramsLine() const;
    // The caption, with " *" while programs differ from the last file or drive state.
    void UpdateTitle();
    void FillCommandList();
    // The transfer options as last chosen (application settings), and kept when changed.
    void LoadOptions();
    void ShowProgress(int done, int total);
    void RefreshGrid(int cursorRow);
    void SetStatus(const std::string& text);
    void AppendStatus(const std::string& text);
    // False (with a beep) while a transfer runs (edits would change the store under it) or any
    // operation holds the line (a dialog opened now would stall it).
    bool StoreFree();
    // Runs a drive operation with the window's prompts and status box.
    template <typename Operation> void RunTransfer(Operation operation);

    DriveLine& line_;
    PrgGrid grid_;
    PrgHistory* history_ = nullptr;
    QPushButton* Command_Undo = nullptr;
    QPushButton* Command_Redo = nullptr;
    PrgGridModel* model_ = nullptr;
    QTableView* DBGrid1 = nullptr;
    QComboBox* Combo_Command = nullptr;
    QLineEdit* Text_PrgActive = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QProgressBar* Progress_Transfer = nullptr;
    QPushButton* Command_CancelTransfer = nullptr;
    QCheckBox* Check_FastTransfer = nullptr;
    QCheckBox* Check_VerifyAfterSend = nullptr;
    QElapsedTimer transferClock_;
    bool transferRunning_ = false;
    bool cancelRequested_ = false;
    int gridWidth_ = 0;
};

// Shows the program editor, not modal; one instance, created on first use.
void ShowProgramEditor(QWidget* owner, DriveLine& line);
// The open program editor, or nullptr.
Form_PrgEeprom* ProgramEditorWindow();
