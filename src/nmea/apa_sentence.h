// The autopilot sentence $AGAPA.
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace marivent::nmea {

// "$AGAPA,A,A," ecartroute "," sensecart ",N,A,A," capwpt ",T," wptarrivee, then "*", the
// checksum (nmea/checksum.h) in two upper-case hexadecimal digits, CR LF. The fields go out as
// received.
std::string apa_sentence(std::string_view ecartroute, std::string_view sensecart,
                         std::string_view capwpt, std::string_view wptarrivee);

// The same sentence written over `out`, whose storage is reused.
void write_apa_sentence(std::string& out, std::string_view ecartroute, std::string_view sensecart,
                        std::string_view capwpt, std::string_view wptarrivee);

// The sentence of the route fields, built again only when one of them changed since the last
// call: the fields change with the RMB sentence, the sentence goes out after every line.
class ApaBuilder {
  public:
    // Valid until the next call.
    std::string_view sentence(std::string_view ecartroute, std::string_view sensecart,
                              std::string_view capwpt, std::string_view wptarrivee);

  private:
    std::string sentence_;
    std::array<std::string, 4> fields_;
    bool built_ = false;
};

} // namespace marivent::nmea
