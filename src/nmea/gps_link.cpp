#include "nmea/gps_link.h"

namespace marivent::nmea {

Status mnugpsdeb_Click(CommControl& port) {
    port.InputLen = 1;
    port.RThreshold = 1;
    port.InputMode = 0;
    return port.set_PortOpen(true);
}

bool loses_input(int code) {
    switch (code) {
    case comm::er_break:
    case comm::er_frame:
    case comm::er_overrun:
    case comm::er_rx_over:
    case comm::er_rx_parity:
        return true;
    default:
        return false;
    }
}

void mnugpsfin_Click(CommControl& port) {
    port.set_PortOpen(false);
}

std::optional<std::string_view> event_word(int code) {
    switch (code) {
    case comm::er_break:
        return "Break";
    case comm::er_frame:
        return "Frame";
    case comm::er_overrun:
        return "data lost";
    case comm::er_rx_over:
        return "overflow";
    case comm::er_rx_parity:
        return "Parity";
    case comm::er_tx_full:
        return "buffer full";
    case comm::er_dcb:
        return "dbc";
    case comm::ev_cd:
        return "EvCd";
    case comm::ev_cts:
        return "EvCTS";
    case comm::ev_dsr:
        return "EvDSR";
    case comm::ev_ring:
        return "EvRing";
    default:
        return std::nullopt;
    }
}

std::optional<DecodeResult> MSComm1_OnComm(LinkContext& link) {
    const int code = link.port.CommEvent;
    Display& display = link.decode.display;
    if (loses_input(code)) input_lost(link.nav);
    if (const auto word = event_word(code)) {
        display.set_text(Box::Text2, display.text(Box::Text2) + std::string(*word));
        return std::nullopt;
    }
    if (code == comm::ev_eof) {
        display.set_text(Box::Text2, "eof");
        return std::nullopt;
    }
    if (code != comm::ev_receive) return std::nullopt;

    if (link.port.InBufferCount() == 0) return std::nullopt;
    if (link.seatalk == 1) {
        if (link.seatalk_capture) link.seatalk_capture();
        return std::nullopt;
    }
    const std::string c = link.port.Input();
    if (c.empty()) return std::nullopt;
    std::optional<DecodeResult> result = receive_char(link.nav, c[0], link.decode);
    // The sentence leaves whole or not at all: a cut one would join the next into a sentence
    // the autopilot might trust.
    if (result && !result->apa.empty()) result->apa_dropped = !link.port.output_whole(result->apa);
    return result;
}

} // namespace marivent::nmea
