// The journal's entries, timed, asked for (Journal > Ecrire) and on events (a new waypoint, a
// change of course), the skipper's remarks (Journal > Remarque), and its viewer (Journal > Lire).
#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "common/cp1252.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/value.h"
#include "journ.h"
#include "journal/journal_events.h"
#include "journal/journal_read.h"
#include "journal/print_sources.h"
#include "journal/recording.h"
#include "panels.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

void Journ::Timer1_Timer() {
    if (journal::timer_tick(compteur, prefs.intervalle)) journecri(false);
}

void Journ::journal_event(const nmea::DecodeResult& result, long long now) {
    const journal::NavSample sample{now, nav.gpsmauvais == 0, nav.wptarrivee, result.course,
                                    result.speed};
    const journal::EntryEvent event = journal_events_.line(sample, prefs.course_angle);
    if (event != journal::EntryEvent::none) journecri(false, event);
}

void Journ::journecri(bool asked, journal::EntryEvent event) {
    if (!asked) {
        // No timed entry, nor one on an event, from what the window shows when it no longer
        // comes from the GPS: the status line says why until an entry is written.
        const std::optional<std::string> refused = station::timed_entry_refusal(
            freshness_, steady_ms(), nav.gpsmauvais == 0,
            clock_text(services_.clock.now(), false).toStdString(), journal::event_words(event));
        const QString said = refused ? from_utf8(*refused) : QString();
        if (said != journal_said_) {
            journal_said_ = said;
            show_status();
        }
        if (refused) return;
    }
    const std::optional<journal::EntryOutcome> outcome = journal::journecri(
        journal, nav.gpsmauvais, nav.heuretu, nav.hemlat, nav.hemlon, *this, event);
    if (!outcome) return;
    std::string text;
    if (outcome->written) {
        menus_.at("mnuheure")->setText(from_cp1252(outcome->caption));
        // An entry on an event comes unasked: the window's line says what it was.
        if (event == journal::EntryEvent::waypoint)
            note(from_utf8("Entrée au journal : changement de waypoint (") +
                 from_cp1252(this->text(Box::wpt2)) + ").");
        else if (event == journal::EntryEvent::course)
            note(from_utf8("Entrée au journal : changement de cap (") +
                 from_cp1252(this->text(Box::cap)) + from_utf8("°)."));
        if (!outcome->notice) return;
        text = *outcome->notice; // a journal begun again: said once, when it happens
    } else {
        // Asked for: said every time. At a tick: said once for a series of failures.
        if (!asked && !outcome->first_failure) return;
        text = outcome->written.why();
    }
    // At a tick the box comes after the tick, so the timer never waits on the user.
    if (asked) {
        services_.dialogs.message(text, program_title);
    } else {
        QTimer::singleShot(0, this,
                           [this, text] { services_.dialogs.message(text, program_title); });
    }
}

void Journ::mnujourecrire_Click() {
    if (nav.gpsmauvais == 1) {
        services_.dialogs.message("Mauvaise communcation avec le gps", "Hou là");
        return;
    }
    if (const std::optional<std::string> why = station::entry_refusal(freshness_, steady_ms())) {
        services_.dialogs.message(station::asked_entry_refusal(*why), "Hou là");
        return;
    }
    journecri(true);
    show_journal();
}

void Journ::mnujourremarque_Click() {
    show_panels(*this, {"remarquef"});
    auto* box = qobject_cast<QLineEdit*>(control("remarque"));
    box->setFocus();
    box->selectAll();
}

void Journ::write_remark() {
    auto* box = qobject_cast<QLineEdit*>(control("remarque"));
    const Result<journal::RemarkText> text = journal::remark_text(box->text().toStdString());
    if (!text) {
        // The line stays open with what was typed, to be put right.
        note(from_utf8("Remarque non écrite : " + text.why() + "."));
        return;
    }
    bool gps_time = false;
    const int minutes = note_minutes(gps_time);
    const journal::EntryOutcome outcome = journal.append_line(
        journal::remark_line(minutes / 60 % 24, minutes % 60, !gps_time, text->cp1252));
    box->clear();
    control("remarquef")->hide();
    if (!outcome.written) {
        // Kept back with the entries and written ahead of the next line that can be.
        services_.dialogs.message(outcome.written.why(), program_title);
        return;
    }
    QString said = "Remarque écrite dans le journal";
    if (!gps_time) said += " à l'heure de l'ordinateur (pas d'heure du GPS)";
    if (text->cleaned) said += " ; les caractères de contrôle sont devenus des espaces";
    if (outcome.notice) said += " ; " + from_utf8(*outcome.notice);
    note(said + ".");
}

int Journ::note_minutes(bool& gps_time) const {
    const std::string& t = nav.heuretu;
    gps_time = freshness_.link_open() && freshness_.position_shown() &&
               !freshness_.old(station::Boxes::position, steady_ms()) && t.size() >= 4 &&
               std::all_of(t.begin(), t.begin() + 4, [](char c) { return is_digit(c); });
    if (gps_time) return ((t[0] - '0') * 10 + (t[1] - '0')) * 60 + (t[2] - '0') * 10 + (t[3] - '0');
    const LocalDateTime now = services_.clock.now();
    const double offset = numeric_value(prefs.decalage);
    const long long shift = std::isfinite(offset) ? std::llround(offset * 60) : 0;
    return static_cast<int>((((now.hour * 60 + now.minute - shift) % 1440) + 1440) % 1440);
}

void Journ::mnujourcorriger_Click() {
    // Each correction starts afresh: a text left by Escape is not written under another number.
    if (control("corrigerf")->isHidden()) {
        qobject_cast<QLineEdit*>(control("corrligne"))->clear();
        qobject_cast<QLineEdit*>(control("correction"))->clear();
    }
    show_panels(*this, {"corrigerf"});
    control("corrligne")->setFocus();
}

void Journ::write_correction() {
    auto* number_box = qobject_cast<QLineEdit*>(control("corrligne"));
    auto* text_box = qobject_cast<QLineEdit*>(control("correction"));
    // What is wrong is said on the window's line; the panel stays open, on the box to put right.
    auto refuse = [this](QLineEdit* box, const std::string& why) {
        note(from_utf8("Correction non écrite : " + why + "."));
        box->setFocus();
    };
    const std::string typed = number_box->text().trimmed().toStdString();
    long long number = 0;
    if (typed.empty() || typed.size() > 9 ||
        !std::all_of(typed.begin(), typed.end(), [](char c) { return is_digit(c); })) {
        refuse(number_box, typed.empty() ? "donnez le numéro de la ligne à corriger, tel que "
                                           "Journal > Lire le montre"
                                         : "« " + typed +
                                               " » n'est pas un numéro de ligne (Journal > "
                                               "Lire numérote les lignes)");
        return;
    }
    for (const char c : typed)
        number = number * 10 + (c - '0');
    const Result<std::string> bytes = read_file(journal.path());
    if (!bytes) {
        refuse(number_box, "le journal " + display_path(journal.path()) + " ne peut pas être lu (" +
                               bytes.why() + ")");
        return;
    }
    if (const Status can = journal::correctable_line(*bytes, number, journal_read_options());
        !can) {
        refuse(number_box, can.why());
        return;
    }
    const Result<journal::RemarkText> text =
        journal::correction_text(text_box->text().toStdString());
    if (!text) {
        refuse(text_box, text.why());
        return;
    }
    bool gps_time = false;
    const int minutes = note_minutes(gps_time);
    const journal::EntryOutcome outcome = journal.append_line(
        journal::correction_line(minutes / 60 % 24, minutes % 60, !gps_time, number, text->cp1252));
    number_box->clear();
    text_box->clear();
    control("corrigerf")->hide();
    if (!outcome.written) {
        // Kept back with the entries and written ahead of the next line that can be.
        services_.dialogs.message(outcome.written.why(), program_title);
        return;
    }
    QString said = "Correction de la ligne " + QString::number(number) +
                   " écrite dans le journal ; la ligne reste telle quelle, barrée dans Journal > "
                   "Lire";
    if (!gps_time) said += ", à l'heure de l'ordinateur (pas d'heure du GPS)";
    if (text->cleaned) said += " ; les caractères de contrôle sont devenus des espaces";
    if (outcome.notice) said += " ; " + from_utf8(*outcome.notice);
    note(said + ".");
}

journal::ReadOptions Journ::journal_read_options() const {
    // The dates as the window writes them: the offset of the preferences, the regional format.
    return {numeric_value(prefs.decalage), journal::regional_date_formats(services_.regional)};
}

void Journ::mnujoulire_Click() {
    show_journal();
}

void Journ::show_journal() {
    const Result<std::string> bytes = read_file(journal.path());
    if (!bytes) {
        services_.dialogs.message("Le journal " + display_path(journal.path()) +
                                      " ne peut pas être affiché (" + bytes.why() + ").",
                                  program_title);
        return;
    }
    if (!services_.viewer) return;
    // What the start-up found wrong in the journal, and what its seal does not cover, head the
    // view, not the file.
    std::string head;
    for (const std::string* notice :
         {journal.third_line_notice() ? &*journal.third_line_notice() : nullptr,
          journal.seal_notice().empty() ? nullptr : &journal.seal_notice()})
        if (notice)
            head += utf8_to_cp1252("(Remarque du programme, hors du fichier) " + *notice) + "\r\n";
    // Each corrected line struck through, its corrections beside it.
    std::vector<StruckLine> struck;
    for (const journal::JournalLine& l :
         journal::read_journal(*bytes, journal_read_options()).lines) {
        if (!l.struck()) continue;
        std::string beside = utf8_to_cp1252("[corrigée"); // the journal's text is Windows-1252
        for (std::size_t i = 0; i < l.corrections.size(); ++i)
            beside += (i ? " ; ligne " : " ligne ") + integer_text(l.corrections[i].number) +
                      " : " + l.corrections[i].text;
        struck.push_back({l.number, beside + "]"});
    }
    services_.viewer->show_journal("journal.txt", head, *bytes, struck);
}

} // namespace marivent::app
