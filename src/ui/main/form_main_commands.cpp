// What the main window sends: the transaction, the direct commands, the positioning buttons,
// the initialisation sequence and the generic send.
#include "ui/main/form_main.h"

#include "app/module1.h"
#include "base/numbers.h"
#include "line/driveline.h"
#include "protocol/catalog.h"
#include "protocol/decoder.h"
#include "protocol/frame.h"
#include "ui/common/prompts.h"
#include "ui/dialogs/command_value.h"
#include "ui/main/form_main_texts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QString Hex(const std::string& bytes) {
    return QString::fromStdString(Module1::StringaHex(bytes));
}

// One operation of this window: the line is leased and the window marked busy for as long as it
// runs; refused with a beep while another operation holds the line.
class Operation {
  public:
    Operation(DriveLine& line, bool& running) : lease_(line.lease(BusUse::Command)), running_(running) {
        if (!lease_) UiPrompts().beep();
        running_ = running_ || lease_;
    }
    ~Operation() {
        if (lease_) running_ = false;
    }
    explicit operator bool() const { return static_cast<bool>(lease_); }

  private:
    LineLease lease_;
    bool& running_;
};

} // namespace

Outcome Form_main::TxRxSeriale(int16_t add, int16_t Comando, double Parametro1, double Parametro2,
                               int16_t ntx, int16_t nrx, int16_t TipoComando) {
    // The sent frame is shown the moment it is written, while the reply is still awaited.
    int observer = line_.addObserver([this](const TrafficEvent& e) {
        if (e.kind != TrafficEvent::Sent) return;
        TextTx->setText(Hex(e.bytes));
        TextRx->clear();
        ParRx->clear();
    });
    Exchange ex = line_.counted({Module1::ComPort, Module1::BaudRate}, add, Comando, Parametro1, Parametro2,
                                ntx, nrx, TipoComando);
    line_.removeObserver(observer);

    switch (ex.outcome) {
    case Outcome::BadValue:
        UiPrompts().message(this, ErrorTitle(), BadValueMessage(ex.error), true);
        break;
    case Outcome::OpenFailed:
        UiPrompts().message(this, ErrorTitle(),
                            MessageText(MainTexts::PortFailed) + QString::fromStdString(ex.error), true);
        break;
    case Outcome::Broadcast:
        if (auto notice = ForLanguage(MainTexts::BroadcastNotice)) TextRx->setText(*notice);
        break;
    case Outcome::Timeout: {
        QString got = Hex(ex.reply);
        if (auto notice = ForLanguage(MainTexts::TimeoutNotice))
            TextRx->setText(got.isEmpty() ? *notice : got + " " + *notice);
        else
            TextRx->setText(got);
        break;
    }
    case Outcome::LinkLost:
        TextRx->setText(Hex(ex.reply));
        UiPrompts().message(this, ErrorTitle(),
                            MessageText(MainTexts::LinkLost) + QString::fromStdString(ex.error), true);
        break;
    case Outcome::Reply:
        TextRx->setText(Hex(ex.reply));
        if (ex.reply != "\x06")
            ParRx->setText(QString::fromStdString(DescribeReply(Comando, ex.reply, Module1::Lingua)));
        break;
    case Outcome::Aborted:
        break;
    }
    return ex.outcome;
}

void Form_main::sendDirect(int16_t code, int16_t ntx, int16_t nrx, double parametro1) {
    commitAddress();
    Operation operation(line_, running_);
    if (!operation) return;
    TxRxSeriale(Module1::Indirizzo, code, parametro1, 0, ntx, nrx, 0);
}

void Form_main::refuseValue(const QString& what, const QString& typed, long long min, long long max) {
    QString text = MessageText(MainTexts::BadValue);
    if (!what.isEmpty()) text += what + " = ";
    text += typed.trimmed() + "\n" + MessageText(MainTexts::BadValueRange) +
            QString::fromStdString(SignedText(min)) + MessageText(MainTexts::PromptMiddle) +
            QString::fromStdString(SignedText(max));
    UiPrompts().message(this, ErrorTitle(), text, true);
}

void Form_main::sendPositioning(QComboBox* list, QLabel* caption, double& target, int16_t code) {
    commitAddress();
    Operation operation(line_, running_);
    if (!operation) return;
    const QString typed = list->currentText();
    const double value = Val(typed.toStdString());
    if (!FourBytes(value)) {
        refuseValue(caption->text(), typed, INT32_MIN, INT32_MAX);
        return;
    }
    target = value;
    TxRxSeriale(Module1::Indirizzo, code, target, 0, 5, 1, 0);
}

void Form_main::onSendInit() {
    commitAddress();
    Operation operation(line_, running_);
    if (!operation) return;

    struct Step {
        QComboBox* list;
        QLabel* caption;
        double* global;
        int16_t code;
        int16_t ntx;
    };
    // In the order the drive receives them.
    const Step steps[] = {
        {Combo_Fmin, Label_Fmin, &Module1::Fmin, 32, 3},
        {Combo_Fmax, Label_Fmax, &Module1::Fmax, 33, 3},
        {Combo_Rampa, Label_Rampa, &Module1::Rampa, 34, 2},
        {Combo_Risoluzione, Label_Risoluzione, &Module1::Risoluzione, 38, 2},
        {Combo_Corrente, Label_Corrente, &Module1::Corrente, 168, 3},
    };
    auto resolutionCode = [](const QString& text) {
        static const QStringList codes{"1/1", "1/2", "1/4", "1/8", "1/16"};
        int i = codes.indexOf(text.trimmed());
        return i < 0 ? 1.0 : double(i);
    };

    // Store step, on copies: a value that cannot be sent changes nothing and sends nothing. What
    // is skipped ("-") is decided here too, once: the lists may be refilled while a step waits.
    double values[5];
    bool skipped[5];
    for (int i = 0; i < 5; ++i) {
        const QString text = steps[i].list->currentText();
        skipped[i] = text == "-";
        values[i] = *steps[i].global;
        if (text.isEmpty()) continue;
        values[i] = steps[i].list == Combo_Risoluzione ? resolutionCode(text) : Val(text.toStdString());
    }
    for (int i = 0; i < 5; ++i) {
        if (skipped[i]) continue;
        if (ValueBytes(steps[i].ntx, 0, values[i], 0).error) {
            QString shown = steps[i].list->currentText();
            if (shown.isEmpty()) shown = QString::number(values[i], 'g', 15);
            refuseValue(steps[i].caption->text(), shown, 0, steps[i].ntx == 2 ? 255 : 65535);
            return;
        }
    }
    for (int i = 0; i < 5; ++i)
        *steps[i].global = values[i];

    // Send step: a list showing "-" is left out. A command that went wrong ends the sequence,
    // so one fault gives one message and the drive is not half set up in silence.
    const int add = Module1::Indirizzo;
    for (int i = 0; i < 5; ++i) {
        if (skipped[i]) continue;
        Outcome o = TxRxSeriale(add, steps[i].code, values[i], 0, steps[i].ntx, 1, 0);
        if (o != Outcome::Reply && o != Outcome::Broadcast) return;
    }
}

void Form_main::onSendCmd() {
    commitAddress();
    // A typed text that is no item of the list selects nothing.
    int slot = Combo_Command->currentIndex();
    if (slot >= 0 && Combo_Command->currentText() != Combo_Command->itemText(slot)) slot = -1;
    if (slot < 0 || slot >= Module1::CatalogSlots || Module1::CodiceCmd[slot] == 0) return;

    Operation operation(line_, running_);
    if (!operation) return;
    std::optional<CommandValue> value =
        AskCommandValue(this, slot, Combo_Command->currentText(),
                        PromptWords{MainTexts::PromptOpening, MainTexts::PromptMiddle});
    if (!value) return;
    TxRxSeriale(Module1::Indirizzo, Module1::CodiceCmd[slot], value->parametro1, value->parametro2,
                Module1::NtxCmd[slot], Module1::NrxCmd[slot], static_cast<int16_t>(value->tipo));
}
