// The NMEA receive path, one byte at a time as the serial link hands them over, with the option
// "Tous les émetteurs" off and then on. Checks every decoded line: a damaged line, a line that
// lost characters past the bound and an RMA, RMB or RMC without checksum are counted and never
// steer; only an accepted RMB of a talker taken as GP changes the route fields; an
// autopilot sentence is well formed, carries the stored route fields and only follows accepted
// lines while valid RMB data is held.
#include <map>
#include <string>

#include "nmea/decoder.h"
#include "support.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;

class BoxDisplay : public Display {
  public:
    std::map<Box, std::string> boxes;
    void set_text(Box box, std::string_view text) override { boxes[box] = text; }
    std::string text(Box box) const override {
        const auto it = boxes.find(box);
        return it == boxes.end() ? std::string() : it->second;
    }
    void set_speed_colour(long) override {}
};

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

int hex_value(char h) {
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    return -1; // lower case is not what the autopilot is sent
}

void check_sentence(std::string_view apa) {
    static constexpr std::string_view start = "$AGAPA,A,A,";
    FUZZ_CHECK(apa.size() >= start.size() + 5);
    FUZZ_CHECK(apa.compare(0, start.size(), start) == 0);
    FUZZ_CHECK(apa.compare(apa.size() - 2, 2, "\r\n") == 0);
    const std::size_t star = apa.size() - 5;
    FUZZ_CHECK(apa[star] == '*');
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i) {
        const auto c = static_cast<unsigned char>(apa[i]);
        FUZZ_CHECK(c != '*' && c != '$' && !is_control(c));
        sum ^= c;
    }
    const int high = hex_value(apa[star + 1]), low = hex_value(apa[star + 2]);
    FUZZ_CHECK(high >= 0 && low >= 0);
    FUZZ_CHECK(static_cast<unsigned>(high * 16 + low) == sum);
}

// An RMA, RMB or RMC of a talker (not a proprietary "$P...") without a checksum.
bool steers_unsigned(std::string_view l) {
    if (l.size() < 7 || l[1] != '$' || l[2] == 'P') return false;
    const std::string_view type = l.substr(4, 3);
    const bool signed_line = l.find('*') != std::string_view::npos;
    return !signed_line && (type == "RMA" || type == "RMB" || type == "RMC");
}

struct RouteFields {
    std::string ecartroute, sensecart, wptdepart, wptarrivee, distwpt, capwpt, vmgwpt;
    int gpsmauvais;
    explicit RouteFields(const Navigation& n)
        : ecartroute(n.ecartroute), sensecart(n.sensecart), wptdepart(n.wptdepart),
          wptarrivee(n.wptarrivee), distwpt(n.distwpt), capwpt(n.capwpt), vmgwpt(n.vmgwpt),
          gpsmauvais(n.gpsmauvais) {}
    bool operator==(const RouteFields&) const = default;
};

void receive(const std::uint8_t* data, std::size_t size, bool all_talkers) {
    BoxDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "1", nullptr, all_talkers};
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        const bool lost = nav.ligne_perdue;
        if (c != '\r') {
            // Only the line feed after a loss ends a line: the lost one, never decoded.
            const std::string before = nav.trame;
            const RouteFields route_before(nav);
            const std::optional<DecodeResult> r = receive_char(nav, c, context);
            FUZZ_CHECK(nav.trame.size() <= trame_limit);
            FUZZ_CHECK(!nav.trame.empty() && nav.trame.back() == c);
            if (r) {
                FUZZ_CHECK(c == '\n' && lost && before.size() > 1);
                FUZZ_CHECK(r->fault == LineFault::input_lost && !r->accepted && r->apa.empty());
                FUZZ_CHECK(nav.trame == "\n" && !nav.ligne_perdue);
                FUZZ_CHECK(RouteFields(nav) == route_before);
            } else {
                FUZZ_CHECK(!(c == '\n' && lost && before.size() > 1));
            }
            continue;
        }
        // A carriage return: the line is decoded, and only then may the navigation values change.
        line = nav.trame;
        const long rejected_before = nav.rejetees;
        const RouteFields route_before(nav);
        const std::optional<DecodeResult> r = receive_char(nav, c, context);
        FUZZ_CHECK(r.has_value());
        FUZZ_CHECK(nav.trame.empty() && !nav.ligne_perdue);
        FUZZ_CHECK(display.text(Box::Text2) == line);

        LineFault fault = lost ? LineFault::input_lost : line_fault(line);
        if (fault == LineFault::none && steers_unsigned(line)) fault = LineFault::no_checksum;
        FUZZ_CHECK(r->fault == fault);
        if (fault != LineFault::none) {
            FUZZ_CHECK(!r->accepted);
            FUZZ_CHECK(r->apa.empty());
            FUZZ_CHECK(nav.rejetees == rejected_before + 1);
            FUZZ_CHECK(RouteFields(nav) == route_before);
            continue;
        }
        FUZZ_CHECK(nav.rejetees == rejected_before);

        const std::string_view l = line;
        const std::string_view talker = l.size() >= 4 ? l.substr(2, 2) : std::string_view{};
        const std::string_view type = l.size() > 4 ? l.substr(4, 3) : std::string_view{};
        const bool gp = taken_as_gp(talker, type, all_talkers);
        FUZZ_CHECK(r->accepted == (l.size() >= 4 && l[1] == '$' && (gp || talker == "PG")));
        // Only an accepted RMB taken as GP stores the route fields and the validity.
        if (!(r->accepted && gp && type == "RMB")) FUZZ_CHECK(RouteFields(nav) == route_before);

        if (r->apa.empty()) {
            FUZZ_CHECK(!r->accepted || nav.gpsmauvais != 0);
            continue;
        }
        FUZZ_CHECK(r->accepted);
        FUZZ_CHECK(nav.gpsmauvais == 0);
        check_sentence(r->apa);
        const std::string fields = "$AGAPA,A,A," + nav.ecartroute + "," + nav.sensecart +
                                   ",N,A,A," + nav.capwpt + ",T," + nav.wptarrivee + "*";
        FUZZ_CHECK(r->apa.compare(0, r->apa.size() - 4, fields) == 0);
        FUZZ_CHECK(display.text(Box::otopil) == r->apa);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    receive(data, size, false);
    receive(data, size, true);
    return 0;
}
