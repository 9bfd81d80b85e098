#include "journal/journal_export.h"

#include "common/cp1252.h"
#include "common/number_text.h"

namespace marivent::journal {

namespace {

// The text of a number without trailing zeros: fixed notation, never an exponent (GPX decimals).
std::string decimal_text(double value, int decimals) {
    std::string s = fixed_text(value, decimals);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string two_digits(int n) {
    std::string s = integer_text(n);
    return n < 10 ? "0" + s : s;
}

std::string date_text(const Date& d) {
    std::string year = integer_text(d.year);
    while (year.size() < 4)
        year.insert(0, 1, '0');
    return year + "-" + two_digits(d.month) + "-" + two_digits(d.day);
}

std::string time_text(int minute) {
    return two_digits(minute / 60) + ":" + two_digits(minute % 60);
}

// UTF-8 text as XML character data: the five characters XML reserves as entities, and the control
// characters XML 1.0 forbids as U+FFFD.
void append_xml(std::string& out, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += "\xEF\xBF\xBD";
            else
                out += c;
        }
    }
}

// "ligne 15 : text ; ligne 18 : text": the corrections of a struck line, UTF-8.
std::string corrections_text(const JournalLine& line) {
    std::string t;
    for (const LineCorrection& c : line.corrections) {
        if (!t.empty()) t += " ; ";
        t += "ligne " + integer_text(c.number) + " : " + cp1252_to_utf8(c.text);
    }
    return t;
}

// The point's description: "vitesse 5.2 nd, cap 54°, vers WPT01", the parts that are known.
std::string description(const JournalLine& line) {
    std::string d;
    auto add = [&d](const std::string& text) {
        if (!d.empty()) d += ", ";
        d += text;
    };
    if (line.speed) add("vitesse " + general_text(*line.speed) + " nd");
    if (line.course) add("cap " + integer_text(*line.course) + "°");
    if (!line.waypoint.empty()) add("vers " + cp1252_to_utf8(line.waypoint));
    if (line.event != EntryEvent::none) add(std::string(event_mark(line.event)));
    // Nothing is dropped from the track: a struck point says so, with what corrects it.
    if (line.struck()) add("barrée, corrigée " + corrections_text(line));
    return d;
}

// What a line is, for the CSV's "Nature" column.
std::string nature(const JournalLine& line) {
    if (line.entry && line.event != EntryEvent::none)
        return "entrée " + std::string(event_mark(line.event));
    if (line.entry) return "entrée";
    if (line.remark) return "remarque";
    if (line.correction) return "correction de la ligne " + integer_text(line.corrects);
    return "ligne non reconnue";
}

void append_csv_field(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string gpx_track(const JournalRead& journal, std::string_view track_name) {
    std::string out;
    out.reserve(200 + journal.lines.size() * 160);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"Marivent\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
           "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
           "  <trk>\n    <name>";
    append_xml(out, track_name);
    out += "</name>\n    <trkseg>\n";
    for (const auto& l : journal.lines) {
        if (!l.has_position()) continue;
        out += "      <trkpt lat=\"";
        out += decimal_text(*l.latitude, 9);
        out += "\" lon=\"";
        out += decimal_text(*l.longitude, 9);
        out += "\">";
        if (l.date && l.minute) {
            out += "<time>";
            out += date_text(*l.date);
            out += 'T';
            out += time_text(*l.minute);
            out += ":00Z</time>";
        }
        if (const std::string d = description(l); !d.empty()) {
            out += "<desc>";
            append_xml(out, d);
            out += "</desc>";
        }
        out += "</trkpt>\n";
    }
    out += "    </trkseg>\n  </trk>\n</gpx>\n";
    return out;
}

std::string csv_table(const JournalRead& journal) {
    std::string out;
    out.reserve(100 + journal.lines.size() * 120);
    out += "Date UTC,Heure UTC,Latitude,Longitude,Vitesse (nœuds),Cap,Waypoint,Ligne du journal,"
           "N° de ligne,Nature,Barrée et corrigée par\r\n";
    for (const auto& l : journal.lines) {
        if (l.date) out += date_text(*l.date);
        out += ',';
        if (l.minute) out += time_text(*l.minute);
        out += ',';
        if (l.latitude) out += decimal_text(*l.latitude, 9);
        out += ',';
        if (l.longitude) out += decimal_text(*l.longitude, 9);
        out += ',';
        if (l.speed) out += general_text(*l.speed);
        out += ',';
        if (l.course) out += integer_text(*l.course);
        out += ',';
        append_csv_field(out, cp1252_to_utf8(l.waypoint));
        out += ',';
        append_csv_field(out, cp1252_to_utf8(l.text));
        out += ',';
        out += integer_text(l.number);
        out += ',';
        append_csv_field(out, nature(l));
        out += ',';
        append_csv_field(out, corrections_text(l));
        out += "\r\n";
    }
    return out;
}

} // namespace marivent::journal
