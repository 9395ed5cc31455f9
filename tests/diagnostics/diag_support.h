#pragma once
// Shared pieces of the diagnostics tests: a drive at address 1, the frames by command code.
#include "app/module1.h"
#include "link/transaction.h"
#include "sim_fixture.h"

#include <chrono>
#include <functional>

class DiagFixture : public SimFixture {
  protected:
    void SetUp() override {
        SimFixture::SetUp();
        Module1::Indirizzo = 1;
    }
    void TearDown() override {
        if (observer_) RemoveTrafficObserver(observer_);
        SimFixture::TearDown();
    }

    // Calls `onSent` for every frame the program writes (code byte, whole frame).
    void watchSent(std::function<void(int code, const std::string& frame)> onSent) {
        observer_ = AddTrafficObserver([onSent](const TrafficEvent& e) {
            if (e.kind == TrafficEvent::Sent && e.bytes.size() > 2)
                onSent(static_cast<unsigned char>(e.bytes[2]), e.bytes);
        });
    }

    // Command code of every frame on the line.
    std::vector<int> codes() const {
        std::vector<int> out;
        for (const std::string& f : bus->frames())
            out.push_back(f.size() > 2 ? static_cast<unsigned char>(f[2]) : -1);
        return out;
    }

    // Moves of the simulated drives run ten times faster than real time.
    void fastMoves() {
        bus->setClock([] {
            using namespace std::chrono;
            return 10.0 * duration<double>(steady_clock::now().time_since_epoch()).count();
        });
    }

    static double secondsSince(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

  private:
    int observer_ = 0;
};
