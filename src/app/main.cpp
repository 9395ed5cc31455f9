#include "app/appsettings.h"
#include "line/qtserialport.h"
#include "line/driveline.h"
#include "ui/main/form_main.h"
#include "ui/tools/form_log.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(":/icons/vardelo-64.png"));
    ProgramTrafficLog(); // the communication log records from the start
    ApplySavedPortDevices();
    // One port for every window: the line is half duplex.
    QtSerialPort port;
    SetSharedPort(&port);
    int result = 0;
    {
        Form_main window;
        window.show();
        result = QApplication::exec();
    }
    SetSharedPort(nullptr);
    return result;
}
