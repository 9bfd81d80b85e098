// The window's side of the GPS link: opening and closing it, a cut and its tries, the serial
// event, the status line and the rejection count. What to say and when is the station's; this
// file shows it and owns the timers and the descriptor's notifiers.
#include "journ.h"

#include <QLabel>
#include <QLayout>
#include <QSocketNotifier>
#include <QTimer>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#endif
#include <cstdio>

#include "common/cp1252.h"
#include "instruments.h"
#include "link/net_device.h"
#include "nmea/gps_link.h"
#include "qt_seams.h"
#include "widget_helpers.h"

namespace marivent::app {

QString Journ::port_name() const {
    return QString("com%1, %2")
        .arg(MSComm1.CommPort)
        .arg(QString::fromStdString(MSComm1.device_of(MSComm1.CommPort)));
}

void Journ::mnugpsdeb_Click() {
    if (const Status opened = nmea::mnugpsdeb_Click(MSComm1); !opened) {
        services_.dialogs.message(
            QString("La liaison avec le GPS ne peut pas être ouverte (%1) : %2.")
                .arg(port_name(), from_utf8(opened.why()))
                .toStdString(),
            program_title);
        return;
    }
    nav.rejetees = 0;
    apa_dropped_ = 0;
    talker_hint_.link_opened();
    control("rejet")->hide();
    stop_retrying();
    link_opened();
    // Which device the port stands for; the first line from the GPS replaces it.
    set_text(Box::Text2, to_cp1252("Liaison ouverte : " + port_name()));
    show_status();
}

void Journ::mnugpsfin_Click() {
    stop_retrying();
    const bool was_open = MSComm1.PortOpen();
    nmea::mnugpsfin_Click(MSComm1);
    if (was_open) link_closed();
    show_status();
}

void Journ::link_opened() {
    // Nothing received before is joined to what comes now; the silence counts from now.
    nmea::line_start(nav);
    freshness_.opened(steady_ms());
    journal_events_.link_changed(); // no waypoint nor course heard before is compared
    watch_freshness();
}

void Journ::link_closed() {
    // The route data is known valid no longer: nothing steers and no entry is written until a
    // valid RMB comes on the next link. What the window shows is old.
    nav.gpsmauvais = 1;
    freshness_.closed();
    journal_events_.link_changed();
    freshness_timer_.stop(); // nothing ages while closed
    show_old_values();
}

void Journ::link_hung_up(const std::string& why) {
    if (nmea::drop_line(nav)) show_left_out(nmea::LineFault::input_lost);
    link_closed();
    // The link is still meant to be open: it is tried again every few seconds, a receiver
    // plugged back in as a server that answers again.
    const bool network = nmea::is_network(MSComm1.device_of(MSComm1.CommPort));
    const std::optional<std::string> told =
        link_life_.hung_up(why, network, port_name().toStdString(), retry_interval_ms);
    retry_.start(retry_interval_ms);
    show_status();
    // Said once the event is over, so no box opens inside the serial event.
    if (told)
        QTimer::singleShot(
            0, this, [this, text = *told] { services_.dialogs.message(text, program_title); });
}

void Journ::retry_link() {
    if (!link_life_.cut() || MSComm1.PortOpen()) return;
    if (const Status opened = nmea::mnugpsdeb_Click(MSComm1); !opened) {
        link_life_.retry_failed(opened.why());
        retry_.start(retry_interval_ms);
    } else {
        link_opened();
    }
    show_status();
}

void Journ::stop_retrying() {
    retry_.stop();
    link_life_.stopped();
}

void Journ::show_status() {
    const bool open = MSComm1.PortOpen();
    const long long now_ms = steady_ms();
    const long long now = now_ms / 1000;
    const std::optional<long long> quiet = freshness_.silent_for(now_ms);
    silence_said_ = quiet.has_value();
    const std::string port = port_name().toStdString(), journal_said = journal_said_.toStdString();
    const std::string last_apa = last_apa_.toStdString();
    station::StatusFacts facts;
    facts.open = open;
    facts.cut = link_life_.cut();
    facts.cut_reason = link_life_.cut_reason();
    facts.retry_in_s = (retry_.remainingTime() + 999) / 1000;
    facts.port = port;
    facts.silent_ms = quiet;
    facts.received = received_.total(now);
    facts.rejected = rejected_.total(now);
    facts.last_apa = last_apa;
    const bool apa_as_ever = prefs.pilot.kind == nmea::PilotKind::apa && prefs.pilot.talker == "AG";
    const std::string pilot = apa_as_ever ? std::string() : nmea::pilot_choice_text(prefs.pilot);
    const std::string pilot_refused = pilot.empty() ? std::string() : pilot_refused_.toStdString();
    facts.pilot = pilot;
    facts.pilot_refused = pilot_refused;
    facts.journal = journal_said;
    facts.seal = journal.seal_status();
    const QString text = from_utf8(station::status_text(facts));
    if (status_->text() != text) {
        status_->setText(text); // no redraw while nothing changes
        // The layouts above the line settle now: left to the event loop, each level would ask for
        // the next after the status bar was drawn once already, and it would be drawn twice.
        for (QWidget* w = status_->parentWidget(); w; w = w->parentWidget())
            if (QLayout* l = w->layout()) l->activate();
    }
    // The line is shown once a second from the moment the link opens; it ticks only while it can
    // change by itself: a countdown, or lines of the last minute that will age out. A link open
    // with nothing arriving wakes nobody; the next line starts the ticks again in the same step.
    const bool live = open || link_life_.cut();
    if (live && !status_live_) status_phase_.start();
    status_live_ = live;
    const bool changing = link_life_.cut() || received_.total(now) > 0 || rejected_.total(now) > 0;
    if (live && changing)
        resume_status();
    else
        status_timer_.stop();
}

void Journ::resume_status() {
    if (status_timer_.isActive() || !status_live_) return;
    const qint64 into = status_phase_.elapsed() % 1000;
    status_timer_.start(into == 0 ? 1000 : static_cast<int>(1000 - into));
}

void Journ::MSComm1_OnComm() {
    if (instruments->seatalk == 1 && MSComm1.CommEvent == nmea::comm::er_rx_parity)
        instruments->parity_seen();
    nmea::LinkContext link{MSComm1, nav,
                           nmea::DecodeContext{*this, decimal_separator_, prefs.decalage,
                                               services_.clock_setter, prefs.all_talkers,
                                               &prefs.pilot},
                           instruments->seatalk, [this] { instruments->capture(); }};
    const std::optional<nmea::DecodeResult> result = nmea::MSComm1_OnComm(link);
    if (result) {
        note_talkers(*result);
        const long long now_ms = steady_ms();
        const long long now = now_ms / 1000;
        freshness_.line(result->fix, result->route, result->refreshed, now_ms);
        watch_freshness();
        journal_event(*result, now_ms);
        received_.add(now);
        if (result->fault != nmea::LineFault::none) rejected_.add(now);
        if (!result->apa.empty() && !result->apa_dropped)
            last_apa_ = clock_text(services_.clock.now(), true);
        if (result->route && prefs.pilot.kind != nmea::PilotKind::apa) pilot_refused(*result);
        // Lines again after a cut: said once, and a later cut is told again.
        if (const auto back = link_life_.line_came(
                port_name().toStdString(), clock_text(services_.clock.now(), true).toStdString())) {
            retry_.stop();
            note(from_utf8(*back));
            show_status();
        }
        resume_status();
    }
    if (result && (result->fault != nmea::LineFault::none || result->apa_dropped)) {
        if (result->apa_dropped) ++apa_dropped_;
        show_left_out(result->fault);
    }
    if (result && result->clock_refused && !clock_refusal_said_) {
        // Said once, quietly: behind the line in Text2, and on the standard error.
        clock_refusal_said_ = true;
        const std::string note =
            " (heure de l'ordinateur non réglée : " + *result->clock_refused + ")";
        std::fputs(("marivent :" + note + "\n").c_str(), stderr);
        set_text(Box::Text2, text(Box::Text2) + utf8_to_cp1252(note));
    }
}

void Journ::pilot_refused(const nmea::DecodeResult& result) {
    // Told once when it starts, and the status line says it while it lasts.
    const QString why = result.pilot_refused ? from_utf8(*result.pilot_refused) : QString();
    if (why == pilot_refused_) return;
    pilot_refused_ = why;
    if (!why.isEmpty()) note("Pilote : " + why + ".");
    show_status();
}

void Journ::note_talkers(const nmea::DecodeResult& result) {
    // Said once a run, after the event.
    if (!talker_hint_.line(result.accepted, result.other_talker_fix)) return;
    QTimer::singleShot(
        0, this, [this] { services_.dialogs.message(station::TalkerHint::text(), program_title); });
}

void Journ::show_left_out(nmea::LineFault fault) {
    // Counted since the link opened, beside the raw line, with the reason of the last rejection.
    if (fault != nmea::LineFault::none) last_fault_ = fault;
    const QString text = from_utf8(
        station::rejection_text(nav.rejetees, nmea::fault_text(last_fault_), apa_dropped_));
    auto* label = qobject_cast<QLabel*>(control("rejet"));
    label->setText(text);
    label->show();
}

long long Journ::steady_ms() const {
    if (services_.steady) return services_.steady->milliseconds();
    return since_start_.isValid() ? since_start_.elapsed() : 0;
}

#ifdef Q_OS_WIN
void Journ::watch_port() {
    // No descriptor there: the device's event is set when input, a line event, the end of a write
    // or a hang-up waits, and each setting offers both input and output.
    void* const handle = MSComm1.PortOpen() ? MSComm1.wait_handle() : nullptr;
    if (port_event_ && port_event_->handle() != handle) {
        // Possibly inside its own signal: deleted once the signal is over.
        port_event_->setEnabled(false);
        port_event_->deleteLater();
        port_event_ = nullptr;
    }
    if (handle && !port_event_) {
        port_event_ = new QWinEventNotifier(handle, this);
        connect(port_event_, &QWinEventNotifier::activated, this, [this] {
            MSComm1.readable();
            MSComm1.writable();
        });
    }
}
#else
void Journ::watch_port() {
    const int fd = MSComm1.descriptor();
    const bool open = MSComm1.PortOpen() && fd >= 0;
    if (port_readable_ && (!open || port_readable_->socket() != fd)) {
        delete port_readable_;
        port_readable_ = nullptr;
        delete port_writable_;
        port_writable_ = nullptr;
    }
    if (open && !port_readable_) {
        port_readable_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(port_readable_, &QSocketNotifier::activated, this, [this] { MSComm1.readable(); });
        port_writable_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(port_writable_, &QSocketNotifier::activated, this, [this] { MSComm1.writable(); });
    }
    if (port_writable_) port_writable_->setEnabled(MSComm1.output_waiting());
}
#endif

} // namespace marivent::app
