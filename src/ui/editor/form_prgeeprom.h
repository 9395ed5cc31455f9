#pragma once
// The program editor window: 17 drive programs in memory, one on show in a two-column grid,
// with file, print and drive operations on the whole store.
#include "editor/prggrid.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class PrgGridModel;
struct TransferIo;

class Form_PrgEeprom : public QWidget {
    Q_OBJECT
  public:
    explicit Form_PrgEeprom(QWidget* parent = nullptr);

    // The store and the grid rows, as the operations below leave them.
    PrgGrid& Grid() { return grid_; }
    bool TransferRunning() const { return transferRunning_; }

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
    void Exit(); // asks, then closes

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void FillCommandList();
    void RefreshGrid(int cursorRow);
    void SetStatus(const std::string& text);
    void AppendStatus(const std::string& text);
    // False (with a beep) while a transfer runs: edits would change the store under it.
    bool StoreFree();
    // Runs a drive operation with the window's prompts and status box.
    template <typename Operation> void RunTransfer(Operation operation);

    PrgGrid grid_;
    PrgGridModel* model_ = nullptr;
    QTableView* DBGrid1 = nullptr;
    QComboBox* Combo_Command = nullptr;
    QLineEdit* Text_PrgActive = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    bool transferRunning_ = false;
    int gridWidth_ = 0;
};

// Shows the program editor, not modal; one instance, created on first use.
void ShowProgramEditor(QWidget* owner);
// The open program editor, or nullptr.
Form_PrgEeprom* ProgramEditorWindow();
