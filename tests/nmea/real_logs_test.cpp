// Every recorded log, fed as a GPS sends it (each line ended by CR LF): no crash, and while an RMB
// of full length is valid each autopilot sentence carries its fields and a correct checksum.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/lines.h"
#include "fakes.h"
#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"
#include "nmea/decoder.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;
using marivent::testing::MapDisplay;

std::vector<std::string> commas(const std::string& s) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST(RealLogs, EveryLogDecodesAndTheAutopilotFollowsTheLatestRmb) {
    const auto dir = marivent::testing::testdata_dir() / "nmea";
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int logs = 0, checked_logs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = marivent::testing::read_bytes(entry.path());
        MapDisplay display;
        Navigation nav;
        const DecodeContext context{display, ',', "", nullptr, false};
        std::vector<std::string> rmb; // the fields of the latest accepted full RMB
        bool rmb_valid = false;
        long sentences = 0;
        for (const std::string_view line : split_lines(bytes)) {
            const std::string l(line);
            std::optional<DecodeResult> r;
            for (char c : l + "\r\n") {
                if (auto got = receive_char(nav, c, context)) r = got;
            }
            ASSERT_TRUE(r);
            if (l.rfind("$GPRMB,", 0) == 0) {
                const auto f = commas(l);
                rmb_valid = f[1] != "V";
                rmb = f.size() >= 14 ? f : std::vector<std::string>{};
            }
            if (!r->accepted) {
                ASSERT_TRUE(r->apa.empty());
                continue;
            }
            ASSERT_EQ(r->apa.empty(), !rmb_valid) << entry.path() << ": " << l;
            if (r->apa.empty() || rmb.empty()) continue;
            const std::string apa(r->apa);
            const auto star = apa.rfind('*');
            ASSERT_NE(star, std::string::npos);
            char sum[3];
            std::snprintf(sum, sizeof sum, "%02X", nmea_checksum(apa.substr(1, star - 1)));
            ASSERT_EQ(apa.substr(star + 1), std::string(sum) + "\r\n") << apa;
            const auto a = commas(apa.substr(0, star));
            ASSERT_EQ(a.size(), 11u) << apa;
            EXPECT_EQ(a[3], rmb[2]);
            EXPECT_EQ(a[4], rmb[3]);
            EXPECT_EQ(a[8], rmb[11]);
            EXPECT_EQ(a[10], rmb[5]);
            ++sentences;
        }
        ++logs;
        if (sentences > 0) ++checked_logs;
    }
    EXPECT_GE(logs, 18);
    EXPECT_GE(checked_logs, 8); // the logs whose GPS followed a route
}

TEST(RealLogs, ArbitraryBytesNeverCrashOrGrowTheBuffer) {
    MapDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "1e308", nullptr, false};
    unsigned x = 12345;
    for (int i = 0; i < 2000000; ++i) {
        x = x * 1103515245u + 12345u;
        const char pick[] = {'$',
                             'G',
                             'P',
                             'R',
                             'M',
                             'B',
                             ',',
                             '\r',
                             '\n',
                             'V',
                             'A',
                             '\0',
                             static_cast<char>(x >> 24)};
        receive_char(nav, pick[(x >> 16) % sizeof pick], context);
        ASSERT_LE(nav.trame.size(), trame_limit);
    }
}

} // namespace
