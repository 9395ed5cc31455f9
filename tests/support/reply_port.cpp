#include "reply_port.h"

#include "protocol/frame.h"

#include <QTimer>

bool ReplyPort::write(const std::string& bytes) {
    frames.push_back(Module1::StringaHex(bytes));
    if (vanishAt > 0 && static_cast<int>(frames.size()) >= vanishAt) {
        QTimer::singleShot(0, this, [this] {
            close();
            error_ = "device removed";
            emit linkLost(QString::fromStdString(error_));
        });
        return true;
    }
    std::optional<std::string> reply = answer ? answer(bytes) : std::nullopt;
    if (reply)
        QTimer::singleShot(0, this, [this, r = *reply] {
            if (!open_) return;
            input_ += r;
            emit readyRead();
        });
    return true;
}
