#pragma once
// A port the test answers frame by frame, for replies no simulated drive gives.
#include "line/serialport.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A port whose every frame is answered by `answer` (nullopt: silence). Replies come through the
// event loop like a real port's. Used where a test needs a reply the drive bus never gives.
class ReplyPort : public SerialPort {
  public:
    std::function<std::optional<std::string>(const std::string& frame)> answer;
    std::vector<std::string> frames; // as hex text, " FC 21 F9 E9"
    int vanishAt = 0;                // the adapter vanishes after this many frames (0: never)

    bool isOpen() const override { return open_; }
    void close() override {
        open_ = false;
        input_.clear();
    }
    void setPortNumber(int) override {}
    void setSettings(const std::string&) override {}
    bool open() override { return open_ = true; }
    std::string errorText() const override { return error_; }
    std::string deviceName() const override { return "reply"; }
    bool write(const std::string& bytes) override;
    int bytesWaiting() const override { return static_cast<int>(input_.size()); }
    std::string readAll() override {
        std::string out;
        out.swap(input_);
        return out;
    }

  private:
    bool open_ = false;
    std::string input_;
    std::string error_;
};
