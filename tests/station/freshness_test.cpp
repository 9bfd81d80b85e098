#include <gtest/gtest.h>

#include "station/freshness.h"

namespace {

using namespace marivent::station;

TEST(Freshness, EachGroupAgesByTheSentenceThatBringsIt) {
    Freshness f;
    f.opened(1000);
    for (Boxes g : {Boxes::position, Boxes::route, Boxes::xte})
        EXPECT_FALSE(f.old(g, 99'000));
    f.line(true, false, false, 2000); // a GGA while the route is not valid: nothing shown
    EXPECT_FALSE(f.position_shown());
    f.line(false, true, false, 2000); // an RMB with status V: only the cross-track error
    f.line(true, false, true, 3000);  // a GGA shown
    f.line(false, true, true, 4000);  // a valid RMB
    EXPECT_FALSE(f.old(Boxes::position, 7999));
    EXPECT_TRUE(f.old(Boxes::position, 8000));
    EXPECT_FALSE(f.old(Boxes::route, 8999)); // the valid RMB brought both
    EXPECT_FALSE(f.old(Boxes::xte, 8999));
    EXPECT_TRUE(f.old(Boxes::route, 9000));
    EXPECT_TRUE(f.old(Boxes::xte, 9000));
    EXPECT_FALSE(f.old(Boxes::raw, 8999)); // any line is a raw line
    EXPECT_TRUE(f.old(Boxes::raw, 9000));
    f.closed();
    for (Boxes g : {Boxes::position, Boxes::route, Boxes::xte, Boxes::raw})
        EXPECT_TRUE(f.old(g, 4000));
    EXPECT_FALSE(f.next_change(4000));
}

TEST(Freshness, SilenceCountsFromTheLastFixOrTheOpeningAndIsSaidBySecondsThenMinutes) {
    Freshness f;
    EXPECT_FALSE(f.silent_for(10'000)); // closed: no silence to tell
    f.opened(10'000);
    EXPECT_FALSE(f.silent_for(14'999));
    EXPECT_EQ(f.silent_for(15'000), 5000);
    f.line(false, true, true, 16'000); // an RMB is no fix
    EXPECT_EQ(f.silent_for(16'000), 6000);
    f.line(true, false, false, 16'500);
    EXPECT_FALSE(f.silent_for(21'499));
    EXPECT_EQ(silence_text(5000), "GPS muet depuis 5 s");
    EXPECT_EQ(silence_text(59'999), "GPS muet depuis 59 s");
    EXPECT_EQ(silence_text(60'000), "GPS muet depuis 1 min");
    EXPECT_EQ(silence_text(3'599'999), "GPS muet depuis 59 min");
    EXPECT_EQ(silence_text(3'600'000 + 5 * 60'000), "GPS muet depuis 1 h 05");
    EXPECT_EQ(silence_text(26 * 3'600'000LL), "GPS muet depuis 26 h 00");
}

TEST(Freshness, TheNextChangeIsTheFirstValueToAgeOrTheNextStepOfTheSilence) {
    Freshness f;
    f.opened(0);
    EXPECT_EQ(f.next_change(0), 5000); // the silence begins
    f.line(true, false, true, 1000);
    f.line(false, true, true, 2500);
    EXPECT_EQ(f.next_change(3000), 6000); // the position ages first
    EXPECT_EQ(f.next_change(6000), 7000); // the silence, said by the second
    EXPECT_EQ(f.next_change(7000), 7500); // the route and the cross-track error age
    EXPECT_EQ(f.next_change(7500), 8000);
    EXPECT_EQ(f.next_change(8200), 9000);
    EXPECT_EQ(f.next_change(60'000), 61'000);
    EXPECT_EQ(f.next_change(61'500), 121'000); // past a minute, by the minute
}

TEST(Freshness, EntriesAreRefusedWithTheLinkClosedOrTheFixOld) {
    Freshness f;
    EXPECT_EQ(entry_refusal(f, 0), "la liaison avec le GPS est fermée");
    f.opened(0);
    EXPECT_EQ(entry_refusal(f, 100), "aucune position reçue du GPS");
    f.line(true, false, true, 1000);
    EXPECT_EQ(entry_refusal(f, 5999), std::nullopt);
    EXPECT_EQ(entry_refusal(f, 6000), "aucune position du GPS depuis 5 s");
    EXPECT_EQ(entry_refusal(f, 130'000), "aucune position du GPS depuis 2 min");
    f.line(true, false, false, 130'000); // fixes again, but the display is not refreshed
    EXPECT_EQ(entry_refusal(f, 130'000), "la position affichée date de plus de 5 s");
    f.closed();
    EXPECT_EQ(entry_refusal(f, 130'000), "la liaison avec le GPS est fermée");
}

TEST(Freshness, ATickSaysWhyItWroteNothingTheRouteNotValidLast) {
    Freshness f;
    EXPECT_EQ(timed_entry_refusal(f, 0, false, "14:02"),
              "journal : pas d'entrée à 14:02 (la liaison avec le GPS est fermée)");
    f.opened(0);
    f.line(true, false, true, 0);
    EXPECT_EQ(timed_entry_refusal(f, 1000, true, "14:02"), std::nullopt);
    EXPECT_EQ(timed_entry_refusal(f, 1000, false, "14:02"),
              "journal : pas d'entrée à 14:02 (la route du GPS n'est pas valide)");
    EXPECT_EQ(timed_entry_refusal(f, 190'000, false, "14:05"),
              "journal : pas d'entrée à 14:05 (aucune position du GPS depuis 3 min)");
    // An entry on an event follows the same rules and names it.
    EXPECT_EQ(timed_entry_refusal(f, 190'000, true, "14:05", "changement de waypoint"),
              "journal : pas d'entrée pour le changement de waypoint à 14:05 (aucune position du "
              "GPS depuis 3 min)");
    EXPECT_EQ(timed_entry_refusal(f, 1000, true, "14:02", "changement de cap"), std::nullopt);
    EXPECT_EQ(asked_entry_refusal("aucune position du GPS depuis 6 s"),
              "Mauvaise communcation avec le gps : aucune position du GPS depuis 6 s.");
}

} // namespace
