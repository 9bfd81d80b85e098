#include "prefs/settings_file.h"

#include "common/number_text.h"
#include "nmea/pilot_sentences.h"

namespace marivent::prefs {

namespace {

std::string record_name(int n) {
    if (n >= first_device_record && n <= last_device_record)
        return "l'appareil du port com" + std::string(1, char('1' + n - first_device_record));
    switch (n) {
    case 1:
        return "l'intervalle du journal";
    case 2:
        return "la différence d'heure";
    case 3:
        return "le dossier OziExplorer";
    case 4:
        return "le dossier C-Map";
    case 5:
        return "le port du GPS";
    case 11:
        return "ce qui part au pilote";
    case 12:
        return "le relèvement du pilote";
    case 13:
        return "la déclinaison";
    case 14:
        return "l'émetteur du pilote";
    case 15:
        return "l'angle du changement de cap";
    default:
        return "l'option Tous les émetteurs";
    }
}

unsigned get_u16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

void put_u16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

std::string not_applied(int n, const char* why) {
    return "Préférences : " + record_name(n) + " n'a pas été lu (" + why + ").";
}

// Records 11-14 into `pilot`; the reason when one is not applied.
const char* read_pilot_record(int n, std::string_view data, PilotRecords& pilot) {
    switch (n) {
    case pilot_kind_record:
        if (!nmea::pilot_kind_named(data)) return "ni apa, ni apb, ni apb+rmb+xte";
        pilot.kind = std::string(data);
        return nullptr;
    case pilot_kind_record + 1:
        if (data != "vrai" && data != "magnetique") return "ni vrai, ni magnetique";
        pilot.reference = std::string(data);
        return nullptr;
    case pilot_kind_record + 2:
        if (!data.empty() && !nmea::parse_variation(data)) return "déclinaison illisible";
        pilot.variation = std::string(data);
        return nullptr;
    default:
        if (!nmea::valid_talker(data)) return "pas deux lettres majuscules";
        pilot.talker = std::string(data);
        return nullptr;
    }
}

} // namespace

std::optional<int> course_angle_value(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int angle = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        angle = angle * 10 + (c - '0');
    }
    if (angle > 180) return std::nullopt;
    return angle;
}

SettingsRecords parse_settings(std::string_view bytes) {
    SettingsRecords out;
    for (std::size_t start = 0; start < bytes.size(); start += record_length) {
        const int n = ++out.records;
        if (n > last_record) continue; // later records are read and ignored
        if (start + 2 > bytes.size()) {
            out.problems.push_back(not_applied(n, "fichier coupé"));
            continue;
        }
        const std::size_t length = get_u16(bytes, start);
        if (length > max_text_length) {
            out.problems.push_back(not_applied(n, "longueur invalide"));
            continue;
        }
        if (start + 2 + length > bytes.size()) {
            out.problems.push_back(not_applied(n, "fichier coupé"));
            continue;
        }
        const std::string_view data = bytes.substr(start + 2, length);
        if (n <= 4) {
            out.text[n - 1] = std::string(data);
            continue;
        }
        if (n == option_record) {
            out.all_talkers = !data.empty() && data[0] == '1';
            continue;
        }
        if (n >= first_device_record && n <= last_device_record) {
            out.devices[n - first_device_record] = std::string(data);
            continue;
        }
        if (n == course_angle_record) {
            if (const std::optional<int> angle = course_angle_value(data))
                out.course_angle = *angle;
            else
                out.problems.push_back(not_applied(n, "pas un nombre entier de 0 à 180"));
            continue;
        }
        if (n >= pilot_kind_record) {
            if (const char* why = read_pilot_record(n, data, out.pilot))
                out.problems.push_back(not_applied(n, why));
            continue;
        }
        const int port = data.empty() ? 0 : static_cast<unsigned char>(data[0]);
        if (port < 1 || port > 4) {
            out.problems.push_back(not_applied(n, "aucun port de 1 à 4"));
            continue;
        }
        out.port = port;
    }
    return out;
}

PatchedSettings patch_settings(std::string_view old_bytes, const SettingsToWrite& values) {
    PatchedSettings out;
    out.bytes = std::string(old_bytes);
    const std::size_t needed = (option_record - 1) * record_length + 3;
    if (out.bytes.size() < needed) out.bytes.resize(needed, '\0');

    const SettingsRecords old = parse_settings(old_bytes);
    const std::string* texts[4] = {&values.interval, &values.offset, &values.ozi_folder,
                                   &values.cmap_folder};
    for (int i = 0; i < 4; ++i) {
        const std::size_t start = i * record_length;
        const std::string& text = *texts[i];
        if (text.size() > max_text_length) {
            out.problems.push_back("Préférences : " + record_name(i + 1) +
                                   " n'a pas été enregistré : il dépasse 126 caractères.");
            if (!old.text[i]) put_u16(out.bytes, start, 0);
            continue;
        }
        put_u16(out.bytes, start, static_cast<unsigned>(text.size()));
        out.bytes.replace(start + 2, text.size(), text);
    }
    const std::size_t port_at = 4 * record_length;
    put_u16(out.bytes, port_at, 2);
    put_u16(out.bytes, port_at + 2, static_cast<unsigned>(static_cast<std::uint16_t>(values.port)));
    const std::size_t option_at = (option_record - 1) * record_length;
    put_u16(out.bytes, option_at, 1);
    out.bytes[option_at + 2] = values.all_talkers ? '1' : '0';

    // The devices, the pilot and the angle: the file holds every record up to the last one's
    // text.
    const std::size_t records_end = (last_record - 1) * record_length + 2;
    if (out.bytes.size() < records_end) out.bytes.resize(records_end, '\0');
    const std::string angle = integer_text(values.course_angle);
    const std::string* later[] = {
        &values.devices[0],      &values.devices[1],   &values.devices[2],
        &values.devices[3],      &values.pilot.kind,   &values.pilot.reference,
        &values.pilot.variation, &values.pilot.talker, &angle};
    for (int n = first_device_record; n <= last_record; ++n) {
        const std::size_t start = static_cast<std::size_t>(n - 1) * record_length;
        const std::string& text = *later[n - first_device_record];
        if (text.size() > max_text_length) {
            out.problems.push_back("Préférences : " + record_name(n) +
                                   " n'a pas été enregistré : il dépasse 126 octets.");
            const bool held = n <= last_device_record &&
                              old.devices[static_cast<std::size_t>(n - first_device_record)];
            if (!held) put_u16(out.bytes, start, 0);
            continue;
        }
        if (out.bytes.size() < start + 2 + text.size()) out.bytes.resize(start + 2 + text.size());
        put_u16(out.bytes, start, static_cast<unsigned>(text.size()));
        out.bytes.replace(start + 2, text.size(), text);
    }
    return out;
}

} // namespace marivent::prefs
