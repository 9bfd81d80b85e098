#include <gtest/gtest.h>

#include "station/link_life.h"

namespace {

using namespace marivent::station;

TEST(LinkLife, ACutIsToldOnceWhileItLastsAndAgainAfterTheLinkCameBack) {
    LinkLife link;
    const auto first = link.hung_up("la ligne a été raccrochée", false, "com1, /dev/ttyUSB0", 5000);
    ASSERT_TRUE(first);
    EXPECT_EQ(
        *first,
        "La liaison avec le GPS (com1, /dev/ttyUSB0) est coupée : la ligne a été raccrochée.\n"
        "Rebranchez le récepteur : le programme le rouvre dès qu'il revient (essai toutes les 5 "
        "secondes) ; Gps > Fin de Communication pour arrêter.");
    EXPECT_TRUE(link.cut());
    link.retry_failed("/dev/ttyUSB0 n'existe pas (récepteur débranché ?)");
    EXPECT_EQ(link.cut_reason(), "/dev/ttyUSB0 n'existe pas (récepteur débranché ?)");
    EXPECT_FALSE(link.hung_up("EIO", false, "com1", 5000)); // reopened, gone again: not told twice
    const auto back = link.line_came("com1, /dev/ttyUSB0", "14:35:07");
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, "Liaison avec le GPS rétablie à 14:35:07 (com1, /dev/ttyUSB0).");
    EXPECT_FALSE(link.cut());
    EXPECT_FALSE(link.line_came("com1", "14:35:08")); // said once
    const auto again = link.hung_up("connexion refusée", true, "com1, tcp://127.0.0.1:10110", 200);
    ASSERT_TRUE(again);
    EXPECT_NE(again->find("réessaie toutes les 0.2 secondes ; Gps > Fin"), std::string::npos)
        << *again;
    link.stopped(); // Fin de Communication
    EXPECT_FALSE(link.cut());
    EXPECT_TRUE(link.hung_up("EIO", false, "com1", 5000)); // a new link's cut is told
}

TEST(LinkStatus, TheLineSaysTheLinkThenTheSilenceThenTheCountsThenTheJournal) {
    StatusFacts f;
    EXPECT_EQ(status_text(f), "Liaison fermée");
    f.journal = "journal : pas d'entrée à 14:35 (la liaison avec le GPS est fermée)";
    EXPECT_EQ(
        status_text(f),
        "Liaison fermée  |  journal : pas d'entrée à 14:35 (la liaison avec le GPS est fermée)");
    f = {};
    f.open = true;
    f.port = "com1, /dev/pts/3";
    f.received = 12;
    f.rejected = 1;
    EXPECT_EQ(status_text(f),
              "Liaison ouverte : com1, /dev/pts/3  |  dernière minute : 12 lignes reçues, 1 "
              "rejetées  |  rien envoyé au pilote");
    f.silent_ms = 12'500;
    f.last_apa = "14:35:07";
    EXPECT_EQ(status_text(f),
              "Liaison ouverte : com1, /dev/pts/3  |  GPS muet depuis 12 s  |  dernière minute : "
              "12 lignes reçues, 1 rejetées  |  au pilote à 14:35:07");
    f = {};
    f.cut = true;
    f.cut_reason = "EIO";
    f.retry_in_s = 4;
    EXPECT_EQ(
        status_text(f).rfind("Liaison coupée (EIO) : nouvelle tentative dans 4 s  |  dernière", 0),
        0u);
    f.open = true;
    f.port = "com1";
    EXPECT_EQ(status_text(f).rfind("Nouvelle tentative : connexion à com1…  |  dernière", 0), 0u);
}

TEST(LinkStatus, TheRejectionCountSaysOnlyWhatHappened) {
    EXPECT_EQ(rejection_text(0, "", 0), "");
    EXPECT_EQ(rejection_text(3, "somme de contrôle fausse", 0),
              "Lignes rejetées : 3 (dernière : somme de contrôle fausse)");
    EXPECT_EQ(rejection_text(0, "", 2), "non envoyées au pilote : 2");
    EXPECT_EQ(rejection_text(123456789, "somme de contrôle absente", 98765),
              "Lignes rejetées : 123456789 (dernière : somme de contrôle absente) — non envoyées "
              "au pilote : 98765");
}

TEST(LinkStatus, LastMinuteCountsAgeOutBySecondsAndReuseTheirBuckets) {
    LastMinute m;
    for (int i = 0; i < 5; ++i)
        m.add(100);
    m.add(130);
    EXPECT_EQ(m.total(130), 6);
    EXPECT_EQ(m.total(159), 6);
    EXPECT_EQ(m.total(160), 1); // second 100 is out of the minute
    m.add(160);                 // the bucket of second 100 again, counted afresh
    EXPECT_EQ(m.total(160), 2);
    EXPECT_EQ(m.total(10'000), 0);
}

TEST(TalkerHint, ToldOnceAfterThreeOtherTalkersFixesWithNothingTaken) {
    TalkerHint hint;
    EXPECT_FALSE(hint.line(false, true));
    EXPECT_FALSE(hint.line(false, true));
    EXPECT_TRUE(hint.line(false, true));
    EXPECT_FALSE(hint.line(false, true)); // once a run
    hint.link_opened();
    EXPECT_FALSE(hint.line(false, true));

    TalkerHint taken;
    EXPECT_FALSE(taken.line(true, false)); // a GP line taken: the receiver is understood
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(taken.line(false, true));
    EXPECT_NE(std::string(TalkerHint::text()).find("« Tous les émetteurs »"), std::string::npos);
}

} // namespace
