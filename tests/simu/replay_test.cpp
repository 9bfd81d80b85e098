#include <gtest/gtest.h>

#include "simu/replay.h"

namespace {

using namespace marivent::simu;

std::string all_puts(Replay r, std::size_t* puts = nullptr) {
    std::string out;
    std::size_t n = 0;
    while (auto c = r.next()) {
        out += *c;
        ++n;
    }
    if (puts) *puts = n;
    return out;
}

TEST(SimulationLines, EndingsAreStrippedAndAtMost500LinesAreTaken) {
    EXPECT_EQ(simulation_lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(simulation_lines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(simulation_lines("").empty());
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "$GPGGA," + std::to_string(i) + "\r\n";
    const auto lines = simulation_lines(many);
    ASSERT_EQ(lines.size(), 500u);
    EXPECT_EQ(lines.back(), "$GPGGA,499");
}

TEST(Replay, OneCharacterPerPutThenCrAndLfAsTwoPuts) {
    std::size_t puts = 0;
    EXPECT_EQ(all_puts(Replay({"$GP", "", "x"}), &puts), "$GP\r\n\r\nx\r\n");
    EXPECT_EQ(puts, 10u);
    EXPECT_EQ(all_puts(Replay({})), "");
    Replay r({"ab"});
    EXPECT_EQ(r.bi(), "ab");
    while (r.next()) {
    }
    EXPECT_TRUE(r.done());
}

} // namespace
