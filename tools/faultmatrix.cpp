// Prints every fault against every variant: exit code and the simulated time
// from the fault to the program's exit. Exits 1 when a cell differs from its expectation.
#include <cstdio>
#include <vector>

#include "sim/fault_matrix.h"

int main() {
    std::vector<sim::FaultResult> results = sim::RunFaultMatrix();
    std::printf("%s", sim::FormatFaultMatrix(results).c_str());
    for (const sim::FaultResult& result : results)
        if (result.outcome.hung || result.outcome.exitCode != result.expectedExitCode) return 1;
    return 0;
}
