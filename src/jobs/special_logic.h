#pragma once
// The arithmetic of the diagnostics tests, free of widgets and of the port.
#include <cstdint>
#include <random>
#include <string_view>

// Analog value of a read-analog reply text ("FC 26 D2 03 F2 1A"): the fourth byte * 256 + the
// fifth, read from character positions 10 and 13. Missing or non-hex characters count as 0.
int AnalogOfReply(std::string_view replyText);

// Position the loop writes for an analog value: 1010 counts are 25600 steps (integer part).
long long LoopPosition(int analog);

// Bit 0 of a status reply text ("01", "15", "" for none). An empty reply reads as 0.
bool StatusBit0(std::string_view replyText);

// The step test's generator: uniform single-precision draws in [0, 1).
class StepRandom {
  public:
    explicit StepRandom(uint32_t seed) : engine_(seed) {}
    float next();
    // A seed that differs from run to run.
    static uint32_t ClockSeed();

  private:
    std::mt19937 engine_;
};

// One move of the step test, drawn in the order ramp, maximum frequency, distance, direction.
struct StepMove {
    int ramp = 0;     // 5..9
    int fmax = 0;     // 2000..39999
    int distance = 0; // a multiple of 16, 16..51184 in absolute value
};
StepMove DrawMove(StepRandom& random);
// The move that four draws in [0, 1) make, taken in that order.
StepMove MoveOfDraws(float ramp, float fmax, float distance, float direction);
