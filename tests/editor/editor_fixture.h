#pragma once
// The editor window on the simulated bus, driven through its buttons and scripted prompts.
#include "ui/editor/form_prgeeprom.h"

#include "app/module1.h"
#include "model/keptstore.h"
#include "protocol/catalog.h"
#include "scripted_prompts.h"
#include "sim_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

// Prints to a PDF file when the operator "confirms" the print dialog.
class PdfPrompts : public ScriptedPrompts {
  public:
    QString pdfPath;
    bool printDialog(QWidget* parent, QPrinter& printer) override {
        if (!ScriptedPrompts::printDialog(parent, printer)) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
};

class EditorWindow : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        prompts.reset(); // first: its destructor uninstalls the prompts in place
        prompts = std::make_unique<PdfPrompts>();
        Module1::InitComandi();
        Module1::Indirizzo = 1;
        QFile::remove(QString::fromStdString(KeptStorePath())); // no offer left by an earlier test
    }
    void TearDown() override {
        form.reset();
        SimFixture::TearDown();
    }
    void Open() {
        form = std::make_unique<Form_PrgEeprom>(*line);
        form->resize(1000, 600);
        form->show();
    }
    PdfPrompts& pdf() { return static_cast<PdfPrompts&>(*prompts); }
    template <typename T> T* Find(const char* name) {
        T* w = form->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* button) { Find<QPushButton>(button)->click(); }
    // Selects a slot of the command list and clicks Insert, typing `typed` when asked.
    void Insert(int slot, std::deque<QString> typed = {}) {
        Find<QComboBox>("Combo_Command")->setCurrentIndex(slot);
        prompts->inputs = std::move(typed);
        Click("Command_NewCmd");
    }
    QString Status() { return Find<QPlainTextEdit>("Text1")->toPlainText(); }
    QString Active() { return Find<QLineEdit>("Text_PrgActive")->text(); }
    QAbstractItemModel* Model() { return Find<QTableView>("DBGrid1")->model(); }
    QString Cell(int row, int column) { return Model()->index(row, column).data().toString(); }
    Program& Prg(int p) { return form->Grid().PrgLines[p]; }
    QString Write(const char* name, const std::string& text) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text.data(), static_cast<qint64>(text.size()));
        return dir.filePath(name);
    }

    std::unique_ptr<Form_PrgEeprom> form;
    QTemporaryDir dir;
};

constexpr int SlotCurrent = 2; // code A8, two data bytes, 0..12000, "[mA]"
constexpr int SlotRamp = 7;    // code 22, one data byte, 0..255
constexpr int SlotStop = 19;   // code 11, no data
constexpr int SlotHeader = 52; // a header row of the list
