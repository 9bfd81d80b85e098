#include <gtest/gtest.h>

#include "transfer/waypoint_table.h"

namespace marivent::transfer {
namespace {

const std::string fixed_tail =
    "37109.72606,  0, 1, 3,         0,  16777215," + std::string(40, ' ') + ", 0, 0";

TEST(WaypointLine, ColumnsOfTheTemplate) {
    struct Case {
        int number;
        std::string name, lat, lon, expected_head;
    } cases[] = {
        {1, "ILE", "43.085333", "-05.500000", "   1,ILE           ,  43.085333, -05.500000,"},
        {1024, "FOURTEEN CHARS", "-33.250000", "151.200000",
         "1024,FOURTEEN CHARS, -33.250000, 151.200000,"},
        // Cut to the first 14 characters.
        {7, "A NAME LONGER THAN 14", "00.000000", "-180.000000",
         "   7,A NAME LONGER ,  00.000000,-180.000000,"},
        // A comma is stored as character 209; a line break inside a name as a blank.
        {12, "A,B\r\nC", "01.000000", "02.000000",
         "  12,A\xD1"
         "B  C        ,  01.000000,  02.000000,"},
        {3, "", "10.000000", "10.000000", "   3,              ,  10.000000,  10.000000,"},
    };
    for (const auto& c : cases) {
        const std::string line = build_waypoint_line(c.number, c.name, c.lat, c.lon);
        EXPECT_EQ(line, c.expected_head + fixed_tail) << c.name;
        EXPECT_EQ(line.size(), waypoint_line_length) << c.name;
    }
}

TEST(WaypointLine, DegreesTextHasSixDecimalsAndTwoIntegerDigits) {
    const std::pair<double, const char*> cases[] = {
        {5.5, "05.500000"},        {-33.25, "-33.250000"},    {151.2, "151.200000"},
        {0.0, "00.000000"},        {-0.0000004, "00.000000"}, {-179.9999996, "-180.000000"},
        {43.0853333, "43.085333"}, {-5.5, "-05.500000"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(degrees_text(v), text) << v;
}

TEST(WaypointLine, NamesInOziFields) {
    EXPECT_EQ(fixed_name("COLBO3W "), "COLBO3W       ");
    EXPECT_EQ(fixed_name("ABCDEFGHIJKLMNOPQ"), "ABCDEFGHIJKLMN");
    EXPECT_EQ(name_from_ozi(name_to_ozi("Cap, la pointe")), "Cap, la pointe");
    // Stored: the first 14 characters, a comma as character 209; read: blank-filled to 14.
    EXPECT_EQ(name_to_ozi("A,B\r\nC LONGER THAN 14"), "A\xD1"
                                                      "B  C LONGER ");
    EXPECT_EQ(name_from_ozi("A\xD1"
                            "B"),
              "A,B           ");
}

} // namespace
} // namespace marivent::transfer
