#pragma once
// A simulated drive bus on a line of its own, with fast waits: what the core's tests need.
#include "drivebus.h"
#include "line/driveline.h"
#include "simulatedport.h"

#include <gtest/gtest.h>
#include <memory>

class LineFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Frames the bus received since the last clear, as hex text (" FC 21 01 E1").
    std::vector<std::string> framesHex() const;

    std::unique_ptr<DriveBus> bus;
    std::unique_ptr<SimulatedPort> port;
    std::unique_ptr<DriveLine> line;
};

// Hex text of bytes with a leading blank, as the program shows them.
std::string Hex(const std::string& bytes);
// Bytes of a hex text such as "FC 21 01 E1".
std::string Bytes(const std::string& hex);
