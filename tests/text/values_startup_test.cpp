// Start-up seeds the random generator before the application runs.
#include <gtest/gtest.h>

#include <string>

#include "support/process_runner.h"

namespace {

TEST(RandomStartup, StartupSeedsTheGeneratorOnce) {
    const ProcessResult result = RunProgram({TestProgramPath("values_seed_probe")});
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    // Seeding ends with one generation and sets the count; an unseeded state would still be all zero.
    EXPECT_NE(result.output.find("count 256 generations 1\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("first 00000000"), std::string::npos) << result.output;
}

}  // namespace
