#include "bench/largest_run.h"

#include <sstream>

#include "cli/run_flow.h"

namespace velnor::bench {

const FlowRun &largest_run() {
    static const FlowRun run = [] {
        cli::RunRequest request;
        request.dfg = VELNOR_TEST_DATA "/characterization/gen_895.txt";
        request.library = VELNOR_TEST_DATA "/lib/library_a.txt";
        request.adders = "4";
        request.multipliers = "4";
        request.encodings = "7";
        request.rounds = "80 80";
        request.size = "512";
        std::ostringstream log;
        return cli::run_flow(request, log);
    }();
    return run;
}

}  // namespace velnor::bench
