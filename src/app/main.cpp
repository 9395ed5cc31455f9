#include "link/qtserialport.h"
#include "link/transaction.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtSerialPort port;
    SetSharedPort(&port);
    return 0;
}
