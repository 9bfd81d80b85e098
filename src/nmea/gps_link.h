// The GPS link over the serial-port control: opening, closing and the event handler.
#pragma once
#include <functional>
#include <optional>

#include "link/comm_control.h"
#include "nmea/decoder.h"

namespace marivent::nmea {

// "&Debut de Communication": one character per read, a receive event at one waiting character,
// text mode, then the port opens with the port number and line settings the control holds.
Status mnugpsdeb_Click(CommControl& port);

// "&Fin de Communication": closes the port; nothing is said when it was not open.
void mnugpsfin_Click(CommControl& port);

// Whether an event code says received characters were lost or damaged: a break, a framing or
// parity error, an overrun, the input buffer's overflow.
bool loses_input(int code);

// The word an event code appends to Text2 ("Break", "Frame", ...), or nothing.
std::optional<std::string_view> event_word(int code);

struct LinkContext {
    CommControl& port;
    Navigation& nav;
    DecodeContext decode;
    int seatalk = 0;                       // 1: the SeaTalk capture takes the received data
    std::function<void()> seatalk_capture; // the capture's part of the receive event
};

// MSComm1_OnComm: reads the event code once and acts on it. Line events append their word to
// Text2 (a parity error too: the program goes on), and those that lose input throw the line being
// received away (`input_lost`); the end-of-file event replaces Text2 with
// "eof"; a receive event takes one character into `trame`, and a carriage return decodes the line
// and sends the autopilot sentence out of the port, whole or not at all (`apa_dropped` when the
// output could not take it). Returns the decoder's result when a line was decoded.
std::optional<DecodeResult> MSComm1_OnComm(LinkContext& link);

} // namespace marivent::nmea
