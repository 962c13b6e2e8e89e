// Compares what the program did with what it should have done, entry by entry,
// and explains the first difference in a way a reader can follow.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/world.h"

testing::AssertionResult SameSequence(const std::vector<std::string>& actual, const std::vector<std::string>& expected);

// The entries of the action trace that start with one of the prefixes.
std::vector<std::string> Only(const std::vector<std::string>& actions, const std::vector<std::string>& prefixes);

// The step numbers in the order their continuations ran.
std::vector<int> StepOrder(const sim::World& world);

// The platform calls of the full trace that start with the prefix, in order.
std::vector<std::string> Calls(const sim::World& world, const std::string& prefix);

// How many platform calls of the full trace start with the prefix.
int CountCalls(const sim::World& world, const std::string& prefix);
