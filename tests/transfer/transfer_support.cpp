#include "transfer_support.h"

RecordedIo::RecordedIo() {
    io.ask = [this](const std::string& q) {
        questions.push_back(q);
        const bool a = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    };
    io.input = [this](const std::string& prompt, const std::string& title) {
        prompts.emplace_back(prompt, title);
        std::string s = inputs.empty() ? std::string() : inputs.front();
        if (!inputs.empty()) inputs.pop_front();
        return s;
    };
    io.setStatus = [this](const std::string& t) { text1 = t; };
    io.appendStatus = [this](const std::string& t) { text1 += t; };
    io.beep = [this] { ++beeps; };
    io.showProgram = [this] { ++shows; };
}
