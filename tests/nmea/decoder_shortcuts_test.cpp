// The decoder's shortcuts (the line check a word at a time, plain speeds and courses read on
// their digits, the line taken in runs, the autopilot sentence kept while the route fields stay)
// against the rules they stand for, on the lines where they could part from them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/format.h"
#include "common/number_text.h"
#include "common/value.h"
#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"
#include "nmea/decoder.h"
#include "nmea/null_display.h"
#include "nmea/pilot_stream.h"

namespace {

using namespace marivent;
using namespace marivent::nmea;

// The rule of line_fault, a character at a time.
LineFault reference_fault(std::string_view line) {
    const std::size_t start = !line.empty() && line[0] == '\n' ? 1 : 0;
    std::size_t star = 0;
    int stars = 0;
    unsigned sum = 0;
    for (std::size_t i = start; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) return LineFault::control_character;
        if (i >= 2 && (c == '$' || c == '!')) return LineFault::joined;
        if (c == '*') {
            ++stars;
            star = i;
        } else if (stars == 0 && i > start) {
            sum ^= c;
        }
    }
    if (stars == 0) return LineFault::none;
    if (stars > 1 || line.size() - star != 3) return LineFault::checksum;
    const std::string hex = "0123456789ABCDEF";
    const std::string lower = "0123456789abcdef";
    auto digit = [&](char h) -> int {
        const auto u = hex.find(h), l = lower.find(h);
        return u != std::string::npos ? int(u) : l != std::string::npos ? int(l) : -1;
    };
    const int high = digit(line[star + 1]), low = digit(line[star + 2]);
    if (high < 0 || low < 0 || unsigned(high * 16 + low) != sum) return LineFault::checksum;
    return LineFault::none;
}

std::string signed_line(const std::string& body, bool lower_case = false) {
    const unsigned char sum = nmea_checksum(body);
    const char* digits = lower_case ? "0123456789abcdef" : "0123456789ABCDEF";
    return "\n" + body + '*' + digits[sum >> 4] + digits[sum & 0x0F];
}

TEST(DecoderShortcuts, LineCheckAgreesWithTheRuleOnEveryDamage) {
    // Bodies of every length across the 8- and 16-byte steps, each damaged at every position
    // with each kind of byte the check looks for (and bytes it must let through).
    const std::string letters =
        "GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V,A,0123456789";
    const std::string damage = std::string("\x01\x0a\x0d\x1f\x7f$!*,Z ", 12) + "\x80\xe9\xff";
    long checked = 0, faults = 0;
    for (std::size_t length = 1; length <= 70; ++length) {
        const std::string body = "$" + letters.substr(0, length);
        const std::string sound = signed_line(body);
        ASSERT_EQ(line_fault(sound), LineFault::none) << sound;
        ASSERT_EQ(line_fault(signed_line(body, true)), LineFault::none);
        for (std::size_t at = 0; at < sound.size(); ++at) {
            for (char d : damage) {
                std::string line = sound;
                line[at] = d;
                const LineFault want = reference_fault(line);
                ASSERT_EQ(line_fault(line), want) << "length " << length << " at " << at << " byte "
                                                  << int(static_cast<unsigned char>(d));
                // The path without SSE2 and the library's own byte-by-byte rule agree too.
                ASSERT_EQ(line_fault_swar(line), want) << "length " << length << " at " << at;
                ASSERT_EQ(line_fault_reference(line), want) << "length " << length << " at " << at;
                ++checked;
                faults += want != LineFault::none;
            }
        }
        // Without its leading line feed, with a digit of the checksum gone, with a third one.
        for (const std::string& line : {sound.substr(1), sound.substr(0, sound.size() - 1),
                                        sound + "0", sound + "*", std::string("\n$*") + sound}) {
            ASSERT_EQ(line_fault(line), reference_fault(line)) << line;
            ASSERT_EQ(line_fault_swar(line), reference_fault(line)) << line;
        }
    }
    EXPECT_GT(checked, 30000);
    EXPECT_GT(faults, checked / 2); // most damage is caught, not merely agreed on
}

TEST(DecoderShortcuts, LineCheckAgreesOnRandomLines) {
    std::mt19937 random(7);
    const std::string alphabet =
        std::string("$!*\n\r\x01\x7f\x80,.0123456789ABCDEFabcdefGPRMC", 38);
    for (int i = 0; i < 200000; ++i) {
        std::string body = "$GP";
        const int length = int(random() % 60);
        for (int k = 0; k < length; ++k)
            body += random() % 8 == 0 ? alphabet[random() % alphabet.size()]
                                      : char('A' + random() % 26);
        std::string line = signed_line(body);
        if (random() % 2) line[random() % line.size()] = alphabet[random() % alphabet.size()];
        ASSERT_EQ(line_fault(line), reference_fault(line)) << line;
        ASSERT_EQ(line_fault_swar(line), reference_fault(line)) << line;
    }
}

struct Shown {
    std::string speed, course;
};

// The speed and course the window shows after an RMC with these fields.
Shown shown_after_rmc(const std::string& speed, const std::string& course, char separator) {
    NullDisplay display;
    Navigation nav;
    nav.gpsmauvais = 0;
    nav.trame = signed_line("$GPRMC,093000.00,A,4751.599,N,00354.902,W," + speed + "," + course +
                            ",070626,2.1,W");
    decodenmea(nav, {display, separator, "", nullptr, false});
    return {nav.vitesse, nav.capfond};
}

std::string reference_course(const std::string& text) {
    const double whole = std::floor(numeric_value(text));
    return std::fabs(whole) < 1e15 ? fixed_text(whole, 0) : general_text(whole, 6);
}

TEST(DecoderShortcuts, SpeedAndCourseAreThoseOfTheirValue) {
    std::vector<std::string> texts = {"0",
                                      "0.0",
                                      "000.0",
                                      "0.04",
                                      "0.05",
                                      "0.049999",
                                      "0.95",
                                      "9.95",
                                      "9.949999",
                                      "99.95",
                                      "6.2",
                                      "006.2",
                                      "6.25",
                                      "6.249",
                                      "6.250001",
                                      "6.",
                                      "359.999999",
                                      "359.9999999",
                                      "999999999.999999",
                                      "999999999.95",
                                      "1234567890.5",
                                      "123456789",
                                      "0000000001.5",
                                      ".5",
                                      "+6.2",
                                      "-6.2",
                                      "-0.0",
                                      "6.2e1",
                                      " 6.2",
                                      "6.2.1",
                                      "0x1A",
                                      "1e400",
                                      "nan",
                                      "12.3456789",
                                      "100.05",
                                      "0.000001",
                                      "0.0000005"};
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
        std::string t = integer_text(random() % 1000000);
        if (random() % 4 != 0) {
            t += '.';
            const int decimals = int(random() % 8);
            for (int k = 0; k < decimals; ++k)
                t += char('0' + random() % 10);
        }
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        for (char separator : {',', '.'}) {
            const Shown s = shown_after_rmc(t, t, separator);
            ASSERT_EQ(s.speed, format_number(numeric_value(t), "###.#", separator)) << t;
            ASSERT_EQ(s.course, reference_course(t)) << t;
        }
    }
}

TEST(DecoderShortcuts, FieldsAreCutAtEveryCommaWhateverTheirLengths) {
    // RMB fields of every length from empty to past the length where commas are no longer mapped
    // at once: each field kept is the text between its commas.
    std::mt19937 random(5);
    for (int trial = 0; trial < 4000; ++trial) {
        std::vector<std::string> f(13);
        const std::size_t longest = trial % 10 == 0 ? 60 : 12;
        for (std::string& s : f)
            s = std::string(random() % (longest + 1), char('A' + random() % 26));
        f[0] = "A"; // the route is valid
        std::string body = "$GPRMB";
        for (const std::string& s : f)
            body += "," + s;
        NullDisplay display;
        Navigation nav;
        nav.trame = signed_line(body);
        const DecodeResult r = decodenmea(nav, {display, ',', "", nullptr, false});
        ASSERT_TRUE(r.accepted) << body;
        EXPECT_EQ(nav.ecartroute, f[1]);
        EXPECT_EQ(nav.sensecart, f[2]);
        EXPECT_EQ(nav.wptdepart, f[3]);
        EXPECT_EQ(nav.wptarrivee, f[4]);
        EXPECT_EQ(nav.distwpt, f[9]);
        EXPECT_EQ(nav.capwpt, f[10]);
        ASSERT_EQ(nav.vmgwpt, f[11]) << body.size() << " characters: " << body;
    }
}

TEST(DecoderShortcuts, RunsFillTheLineAsCharactersDo) {
    // Past the bound the older half goes: runs crossing it at every offset end like single
    // characters do.
    std::mt19937 random(3);
    for (int trial = 0; trial < 300; ++trial) {
        Navigation by_run, by_char;
        NullDisplay display;
        const DecodeContext context{display, ',', "", nullptr, false};
        long long written = 0;
        while (written < 3 * static_cast<long long>(trame_limit)) {
            std::string run(random() % 700, ' ');
            for (char& c : run)
                c = char('A' + (written++ % 26));
            append_to_line(by_run, run);
            for (char c : run)
                receive_char(by_char, c, context);
            ASSERT_EQ(by_run.trame, by_char.trame);
        }
        EXPECT_LE(by_run.trame.size(), trame_limit);
    }
}

// The stream read a character at a time, as marivent-pilot read it before it took runs.
std::string pilot_by_characters(std::string_view input) {
    NullDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    std::string out;
    bool after_cr = false, in_line = false;
    auto end_line = [&] {
        if (auto r = receive_char(nav, '\r', context)) out += r->apa;
        receive_char(nav, '\n', context);
    };
    for (char c : input) {
        if (c == '\n' && after_cr) {
            after_cr = false;
            continue;
        }
        after_cr = c == '\r';
        if (c == '\r' || c == '\n') {
            end_line();
            in_line = false;
        } else {
            receive_char(nav, c, context);
            in_line = true;
        }
    }
    if (in_line) end_line();
    return out;
}

TEST(DecoderShortcuts, PilotStreamCutAnywhereGivesTheSameSentences) {
    const std::string rmb = "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20";
    const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    const std::string input = "junk\r\n" + rmb + "\r\n" + gga + "\n\n" + rmb + "\r\r\n" + gga +
                              "\r" + std::string(5000, 'x') + "\r\n" + rmb + "\n\r" + gga;
    const std::string want = pilot_by_characters(input);
    ASSERT_EQ(std::count(want.begin(), want.end(), '\n'), 6); // after each RMB and GGA
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        for (std::size_t second :
             {cut, std::min(input.size(), cut + 1), std::min(input.size(), cut + 67)}) {
            PilotStream stream(false);
            std::string out;
            stream.feed(std::string_view(input).substr(0, cut), out);
            stream.feed(std::string_view(input).substr(cut, second - cut), out);
            stream.feed(std::string_view(input).substr(second), out);
            stream.finish(out);
            ASSERT_EQ(out, want) << "cut at " << cut << " and " << second;
        }
    }
}

TEST(DecoderShortcuts, KeptSentenceFollowsEveryFieldChange) {
    ApaBuilder builder;
    EXPECT_EQ(builder.sentence("0.66", "L", "052.5", "004"),
              apa_sentence("0.66", "L", "052.5", "004"));
    EXPECT_EQ(builder.sentence("0.66", "L", "052.5", "004"),
              apa_sentence("0.66", "L", "052.5", "004"));
    // The same characters shifted from one field to the next make another sentence.
    EXPECT_EQ(builder.sentence("0.6", "6L", "052.5", "004"),
              apa_sentence("0.6", "6L", "052.5", "004"));
    EXPECT_EQ(builder.sentence("0.66", "L", "052.5", "005"),
              apa_sentence("0.66", "L", "052.5", "005"));
    EXPECT_EQ(builder.sentence("", "", "", ""), apa_sentence("", "", "", ""));

    // A bearing set outside the decoder (the simulator does) goes out with the next line.
    NullDisplay display;
    Navigation nav;
    const DecodeContext context{display, ',', "", nullptr, false};
    nav.trame = signed_line("$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V");
    EXPECT_EQ(decodenmea(nav, context).apa, apa_sentence("0.66", "L", "052.5", "004"));
    nav.capwpt = "360";
    nav.trame = signed_line("$GPGSA,A,3,04,05,09,12,24,25,29,,,,,,1.8,0.9,1.6");
    EXPECT_EQ(decodenmea(nav, context).apa, apa_sentence("0.66", "L", "360", "004"));
}

} // namespace
