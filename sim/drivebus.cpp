// Placeholder: acknowledges every frame to a present address. Replaced by the full simulator.
#include "drivebus.h"

struct DriveBus::Drive {};

DriveBus::DriveBus(std::set<int> addresses) : addresses_(std::move(addresses)) {}

std::vector<DriveBus::Reply> DriveBus::receive(const std::string& bytes) {
    frames_.push_back(bytes);
    std::vector<Reply> out;
    if (bytes.size() >= 2 && bytes[1] != 0 && addresses_.count(static_cast<unsigned char>(bytes[1]) & 31))
        out.push_back({"\x06", 0});
    return out;
}

void DriveBus::setFault(Fault fault) {
    fault_ = fault;
}
DriveBus::Fault DriveBus::fault() const {
    return fault_;
}
void DriveBus::setSlowSeconds(double s) {
    slowSeconds_ = s;
}
double DriveBus::slowSeconds() const {
    return slowSeconds_;
}
void DriveBus::setAddresses(std::set<int> a) {
    addresses_ = std::move(a);
}
const std::set<int>& DriveBus::addresses() const {
    return addresses_;
}
const std::vector<std::string>& DriveBus::frames() const {
    return frames_;
}
void DriveBus::clearFrames() {
    frames_.clear();
}
void DriveBus::setAnalogInput(int, int) {}
int32_t DriveBus::position(int) const {
    return 0;
}
bool DriveBus::moving(int) const {
    return false;
}
std::vector<std::string> DriveBus::program(int, int) const {
    return {};
}
void DriveBus::setProgram(int, int, std::vector<std::string>) {}
void DriveBus::setClock(std::function<double()> clock) {
    clock_ = std::move(clock);
}
