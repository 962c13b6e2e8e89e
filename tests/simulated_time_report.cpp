// Reports, after all tests, how much simulated time the suite covered.
#include <gtest/gtest.h>

#include <cstdio>

#include "sim/world.h"

namespace {

class SimulatedTimeReport : public testing::Environment {
public:
    void TearDown() override {
        std::printf("simulated time covered by these tests: %.1f s\n", sim::World::TotalSimulatedTime() / 1e6);
    }
};

const testing::Environment* const report = testing::AddGlobalTestEnvironment(new SimulatedTimeReport);

}  // namespace
