// Renders the main windows offscreen into PNG files for the README:
//   screenshots OUTPUT_DIR [LANGUAGE]
#include "app/module1.h"
#include "drivebus.h"
#include "link/transaction.h"
#include "simulatedport.h"
#include "ui/main/form_main.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void Save(QWidget& w, const QString& path) {
    w.show();
    QCoreApplication::processEvents(); // one-off layout before the grab, not a wait
    w.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString(argv[1]) : QString("docs");
    const int lingua = argc > 2 ? std::atoi(argv[2]) : 2;
    const QString suffix = lingua == 2 ? QString() : QString("-%1").arg(lingua);
    QDir().mkpath(out);
    const QString outDir = QDir(out).absolutePath();

    QTemporaryDir work; // the configuration file is written where the program runs
    QDir::setCurrent(work.path());
    DriveBus bus;
    SimulatedPort port(bus);
    SetSharedPort(&port);

    Form_main main;
    Module1::Lingua = static_cast<int16_t>(lingua);
    main.CaricaListe();
    main.SetLingua();
    main.resize(main.sizeHint());
    Save(main, outDir + "/main" + suffix + ".png");
    if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    return 0;
}
