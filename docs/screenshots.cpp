// Renders the main window, the program editor with a sample program, a parameter dialog, the
// serial settings with a chosen adapter, the communication log and the monitor during a move
// offscreen into PNG files for the README:
//   screenshots OUTPUT_DIR [LANGUAGE]
#include "app/module1.h"
#include "drivebus.h"
#include "line/driveline.h"
#include "line/portmap.h"
#include "protocol/catalog.h"
#include "protocol/linecodec.h"
#include "simulatedport.h"
#include "ui/common/prompts.h"
#include "ui/dialogs/form_trigger.h"
#include "ui/editor/form_prgeeprom.h"
#include "ui/main/form_main.h"
#include "ui/settings/form_serial.h"
#include "ui/tools/form_log.h"
#include "ui/tools/form_monitor.h"
#include "ui/tools/form_scan.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>

namespace {

QString g_out, g_suffix;

void Save(QWidget& w, const char* name) {
    w.show();
    QCoreApplication::processEvents(); // lay the window out once before the grab; not a wait
    const QString path = g_out + "/" + name + g_suffix + ".png";
    w.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

// Says Yes to every question and asks nothing else: the tool runs without an operator.
class YesPrompts : public Prompts {
  public:
    void message(QWidget*, const QString&, const QString&, bool) override {}
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    QString input(QWidget*, const QString&, const QString&) override { return {}; }
    void beep() override {}
    QString openFileName(QWidget*, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    void printPreview(QWidget*, QPrinter&, const std::function<void(QPrinter*)>&) override {}
    int runDialog(QDialog&) override { return 0; }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_out = QDir(argc > 1 ? QString(argv[1]) : QString("docs")).absolutePath();
    const int lingua = argc > 2 ? std::atoi(argv[2]) : 2;
    g_suffix = lingua == 2 ? QString() : QString("-%1").arg(lingua);
    QDir().mkpath(g_out);

    QTemporaryDir work; // the configuration file is written where the program runs
    QDir::setCurrent(work.path());
    // The options ticked here are not the operator's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());
    DriveBus bus;
    SimulatedPort port(bus);
    DriveLine line(port);

    Form_main main(line);
    Module1::Lingua = static_cast<int16_t>(lingua);
    main.CaricaListe();
    main.SetLingua();
    Module1::Indirizzo = 1;
    main.findChild<QComboBox*>("Combo_Addr")->setCurrentIndex(2);
    main.findChild<QComboBox*>("Combo_Fmax")->setEditText("20000");
    main.TxRxSeriale(1, 168, 3000, 0, 3, 1, 0);
    main.TxRxSeriale(1, 99, 0, 0, 1, 1, 0);
    main.TxRxSeriale(99, 17, 0, 0, 1, 1, 0);
    main.TxRxSeriale(1, 49, -1000, 0, 5, 1, 0);
    main.TxRxSeriale(1, 18, 0, 0, 1, 8, 0);
    main.resize(main.sizeHint());
    Save(main, "main");

    Form_PrgEeprom editor(line);
    PrgStore& store = editor.Grid().PrgLines;
    store[0] = {
        StringaCmd(168, 3000, 0, 0, 3),   StringaCmd(38, 4, 0, 0, 2),   StringaCmd(32, 400, 0, 0, 3),
        StringaCmd(33, 8000, 0, 0, 3),    StringaCmd(34, 25, 0, 0, 2),  StringaCmd(41, 0, 37, 2, 2),
        StringaCmd(49, 25600, 0, 0, 5),   StringaCmd(244, 10, 0, 0, 2), StringaCmd(49, -25600, 0, 0, 5),
        StringaCmd(160, 12800, 17, 3, 6), StringaCmd(245, 0, 0, 0, 1)};
    editor.ShowPrg(0);
    editor.resize(editor.sizeHint().width() + 80, editor.sizeHint().height());
    Save(editor, "editor");

    // The editor in the middle of a fast, verified transfer of five programs.
    {
        Form_PrgEeprom sending(line);
        PrgStore& lines = sending.Grid().PrgLines;
        for (int p = 0; p < 5; ++p)
            lines[p] = store[0];
        sending.ShowPrg(0);
        sending.findChild<QCheckBox*>("Check_FastTransfer")->setChecked(true);
        sending.resize(editor.size());
        auto* bar = sending.findChild<QProgressBar*>("Progress_Transfer");
        bool saved = false;
        QObject::connect(bar, &QProgressBar::valueChanged, &sending, [&](int value) {
            if (saved || value < bar->maximum() * 3 / 5) return;
            saved = true;
            Save(sending, "transfer");
        });
        YesPrompts yes;
        SetUiPrompts(&yes);
        sending.show();
        sending.SendAllPrg();
        SetUiPrompts(nullptr);
    }

    Module1::TriggerTitle = CommandDescription(29, lingua);
    Form_Trigger trigger;
    for (const char* box : {"Text_IN1", "Text_IN3", "Text_LEV2"})
        trigger.findChild<QLineEdit*>(box)->setText("1");
    Save(trigger, "trigger");

    // The serial settings with an adapter chosen for COM2.
    SetSerialDeviceLister([] {
        return std::vector<SerialDevice>{{"/dev/ttyACM0", "USB Serial", "FTDI", "A1B2C3"},
                                         {"/dev/ttyS0", "", "", ""}};
    });
    Module1::ComPort = 2;
    line.setPortDevice(2, "/dev/ttyACM0");
    {
        Form_serial serial(line);
        Save(serial, "serial");
    }
    line.setPortDevice(2, "");
    Module1::ComPort = 1;

    Form_Scan scan(line, nullptr);
    scan.StartScan();
    Save(scan, "scan");

    // The monitor during a move: the position climbs, bit 0 of the status is lit, the analog
    // input swings. The simulated drive answers in real time, so this runs for a few seconds.
    {
        Form_Monitor monitor(line);
        monitor.resize(900, 720);
        monitor.show();
        bus.setInputs(1, 0x25);
        bus.setStatusBits(1, 0x40);
        QElapsedTimer clock;
        clock.start();
        QTimer analog;
        QObject::connect(&analog, &QTimer::timeout, [&] {
            const double t = static_cast<double>(clock.elapsed()) / 1000.0;
            bus.setAnalogInput(1, static_cast<int>(512 + 380 * std::sin(t * 2.1) + 60 * std::sin(t * 9.0)));
        });
        analog.start(40);
        auto* rate = monitor.findChild<QComboBox*>("Combo_Rate");
        rate->setCurrentIndex(rate->findText("20"));
        monitor.Start();
        QEventLoop loop;
        QTimer::singleShot(2500, &main, [&] { main.TxRxSeriale(1, 49, 600000, 0, 5, 1, 0); });
        QTimer::singleShot(4800, &loop, &QEventLoop::quit);
        loop.exec();
        monitor.Refresh();
        Save(monitor, "monitor");
        monitor.Stop();
    }

    Form_Log log(main.Log());
    log.model().refresh();
    log.resize(900, 300);
    Save(log, "log");
    return 0;
}
