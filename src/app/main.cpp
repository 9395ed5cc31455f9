#include "link/qtserialport.h"
#include "link/transaction.h"
#include "ui/main/form_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
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
