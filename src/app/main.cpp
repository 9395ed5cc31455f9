#include "app/appsettings.h"
#include "line/driveline.h"
#include "line/qtserialport.h"
#include "ui/main/form_main.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Read as the PNG it is: an image reader left to guess the format loads every image plugin
    // first, which the main window loads aside while it is built (see Form_main).
    QImageReader icon(QStringLiteral(":/icons/vardelo-64.png"), "png");
    icon.setAutoDetectImageFormat(false);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.read())));
    // One port and one owner of it for every window: the line is half duplex.
    QtSerialPort port;
    DriveLine line(port);
    ApplySavedPortDevices(line);
    Form_main window(line);
    window.show();
    return QApplication::exec();
}
