#include "sim_fixture.h"

#include "app/module1.h"
#include "line/driveline.h"
#include "protocol/frame.h"
#include "line/driveline.h"

void SimFixture::SetUp() {
    Module1::ResetGlobals();
    WaitScale = 0.02;
    bus = std::make_unique<DriveBus>();
    port = std::make_unique<SimulatedPort>(*bus);
    SetSharedPort(port.get());
    prompts = std::make_unique<ScriptedPrompts>();
}

void SimFixture::TearDown() {
    SetSharedPort(nullptr);
    prompts.reset();
    port.reset();
    bus.reset();
    WaitScale = 1.0;
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
