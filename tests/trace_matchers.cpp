#include "tests/trace_matchers.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

testing::AssertionResult SameSequence(const std::vector<std::string>& actual,
                                      const std::vector<std::string>& expected) {
    size_t common = std::min(actual.size(), expected.size());
    size_t first = 0;
    while (first < common && actual[first] == expected[first]) ++first;
    if (first == common && actual.size() == expected.size()) return testing::AssertionSuccess();

    std::ostringstream diff;
    diff << "sequences differ at entry " << first << "\n";
    size_t from = first >= 3 ? first - 3 : 0;
    size_t to = std::max(actual.size(), expected.size());
    to = std::min(to, first + 6);
    for (size_t i = from; i < to; ++i) {
        const std::string want = i < expected.size() ? expected[i] : "(nothing)";
        const std::string got = i < actual.size() ? actual[i] : "(nothing)";
        diff << (want == got ? "    " : "  ! ") << i << ": expected " << want;
        if (want != got) diff << "\n         actual   " << got;
        diff << "\n";
    }
    return testing::AssertionFailure() << diff.str();
}

std::vector<std::string> Only(const std::vector<std::string>& actions, const std::vector<std::string>& prefixes) {
    std::vector<std::string> kept;
    for (const std::string& action : actions)
        for (const std::string& prefix : prefixes)
            if (action.rfind(prefix, 0) == 0) {
                kept.push_back(action);
                break;
            }
    return kept;
}

std::vector<int> StepOrder(const sim::World& world) {
    std::vector<int> steps;
    for (const sim::TraceEntry& entry : world.trace)
        if (entry.action && entry.text.rfind("step ", 0) == 0) steps.push_back(std::stoi(entry.text.substr(5)));
    return steps;
}

std::vector<std::string> Calls(const sim::World& world, const std::string& prefix) {
    std::vector<std::string> calls;
    for (const sim::TraceEntry& entry : world.trace)
        if (entry.text.rfind(prefix, 0) == 0) calls.push_back(entry.text);
    return calls;
}

int CountCalls(const sim::World& world, const std::string& prefix) {
    return static_cast<int>(std::count_if(world.trace.begin(), world.trace.end(), [&](const sim::TraceEntry& entry) {
        return entry.text.rfind(prefix, 0) == 0;
    }));
}
