#include "app/appsettings.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "ui/main/form_main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(":/icons/vardelo-64.png"));
    // One port and one owner of it for every window: the line is half duplex.
    QtSerialPort port;
    DriveLine line(port);
    ApplySavedPortDevices(line);
    Form_main window(line);
    window.show();
    return QApplication::exec();
}
