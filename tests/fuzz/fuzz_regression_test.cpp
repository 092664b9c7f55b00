// Replays every file of fuzz/regressions/<harness>/ through that harness's
// body, as the fuzzers run it: an input that once broke a promise stays here
// so that the fault cannot come back unnoticed. The committed seeds under
// fuzz/seeds/<harness>/ (real tool output the fuzzers start from) run through
// it too. A broken promise aborts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_bodies.h"

namespace {

namespace fs = std::filesystem;

struct Harness {
    const char *name;
    void (*body)(const std::uint8_t *, std::size_t);
    const char *folder = "regressions";  // under fuzz/
};

void PrintTo(const Harness &h, std::ostream *out) { *out << h.folder << "_" << h.name; }

class FuzzRegressions : public testing::TestWithParam<Harness> {};

TEST_P(FuzzRegressions, EveryFileRunsThroughItsHarness) {
    const fs::path folder = fs::path(VELNOR_FUZZ_FOLDER) / GetParam().folder / GetParam().name;
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    ASSERT_FALSE(files.empty()) << folder;
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        GetParam().body(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzRegressions,
                         testing::Values(Harness{"dsp_core_flow", velnor::fuzz::dsp_core_flow},
                                         Harness{"module_library", velnor::fuzz::module_library},
                                         Harness{"stego_key", velnor::fuzz::stego_key},
                                         Harness{"command_line", velnor::fuzz::command_line},
                                         Harness{"netlist_json", velnor::fuzz::netlist_json, "seeds"},
                                         Harness{"dot_import", velnor::fuzz::dot_import}),
                         [](const auto &info) { return std::string(info.param.folder) + "_" + info.param.name; });

}  // namespace
