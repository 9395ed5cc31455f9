#include "sim_fixture.h"

#include "app/module1.h"
#include "line/driveline.h"
#include "protocol/frame.h"

void SimFixture::SetUp() {
    Module1::ResetGlobals();
    bus = std::make_unique<DriveBus>();
    port = std::make_unique<SimulatedPort>(*bus);
    line = std::make_unique<DriveLine>(*port);
    line->setWaitScale(0.02);
    prompts = std::make_unique<ScriptedPrompts>();
}

void SimFixture::TearDown() {
    prompts.reset();
    line.reset();
    port.reset();
    bus.reset();
}

std::vector<std::string> SimFixture::framesHex() const {
    std::vector<std::string> out;
    for (const std::string& f : bus->frames())
        out.push_back(Module1::StringaHex(f));
    return out;
}

std::string Hex(const std::string& bytes) {
    return Module1::StringaHex(bytes);
}

std::string Bytes(const std::string& hex) {
    return BytesOfHexText(hex);
}
