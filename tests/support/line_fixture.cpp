#include "line_fixture.h"

#include "protocol/frame.h"

void LineFixture::SetUp() {
    bus = std::make_unique<DriveBus>();
    port = std::make_unique<SimulatedPort>(*bus);
    line = std::make_unique<DriveLine>(*port);
    line->setWaitScale(0.02);
}

void LineFixture::TearDown() {
    line.reset();
    port.reset();
    bus.reset();
}

std::vector<std::string> LineFixture::framesHex() const {
    std::vector<std::string> out;
    for (const std::string& f : bus->frames())
        out.push_back(Hex(f));
    return out;
}

std::string Hex(const std::string& bytes) {
    return Module1::StringaHex(bytes);
}

std::string Bytes(const std::string& hex) {
    return BytesOfHexText(hex);
}
