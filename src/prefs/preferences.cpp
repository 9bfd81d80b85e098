#include "prefs/preferences.h"

#include "common/file_io.h"
#include "common/paths.h"
#include "common/value.h"

namespace marivent::prefs {

nmea::PilotChoice pilot_choice(const PilotRecords& words) {
    nmea::PilotChoice c;
    c.kind = nmea::pilot_kind_named(words.kind).value_or(nmea::PilotKind::apa);
    c.reference = words.reference == "magnetique" ? nmea::BearingReference::magnetic
                                                  : nmea::BearingReference::true_north;
    if (!words.variation.empty())
        if (const Result<nmea::Variation> v = nmea::parse_variation(words.variation))
            c.user_variation = *v;
    if (nmea::valid_talker(words.talker)) c.talker = words.talker;
    return c;
}

void apply_settings(const SettingsRecords& records, Preferences& p) {
    std::string interval = p.command1;
    if (records.text[0]) interval = p.command1 = *records.text[0];
    if (records.text[1]) p.decalage = p.command2 = *records.text[1];
    if (records.text[2]) p.ozipath = *records.text[2];
    if (records.text[3]) p.cmappath = *records.text[3];
    if (records.port) p.port = *records.port;
    p.all_talkers = records.all_talkers.value_or(false);
    for (std::size_t i = 0; i < p.devices.size(); ++i)
        p.devices[i] = records.devices[i].value_or("");
    p.pilot_words = records.pilot;
    p.pilot = pilot_choice(records.pilot);
    p.course_angle = records.course_angle;
    if (records.records == 0) {
        interval = p.command1;
        p.decalage.clear();
        p.cmappath = default_cmap_folder;
        p.ozipath = default_ozi_folder;
    }
    p.intervalle = numeric_value(interval);
}

LoadOutcome load_settings(const std::filesystem::path& file, Preferences& p) {
    LoadOutcome out;
    const Status made = ensure_file(file);
    const Result<std::string> bytes =
        made ? read_file(file) : Result<std::string>(failure(made.why()));
    if (!bytes) {
        out.file_usable = false;
        out.problems.push_back("Le fichier des préférences " + display_path(file) +
                               " ne peut pas être lu (" + bytes.why() +
                               ") : les valeurs par défaut sont prises.");
        apply_settings(SettingsRecords{}, p);
        return out;
    }
    const SettingsRecords records = parse_settings(*bytes);
    out.problems = records.problems;
    apply_settings(records, p);
    return out;
}

std::vector<std::string> save_settings(const std::filesystem::path& file,
                                       const SettingsToWrite& values) {
    std::string old;
    std::error_code ec;
    if (std::filesystem::exists(file, ec)) {
        Result<std::string> bytes = read_file(file);
        if (!bytes)
            return {"Les préférences n'ont pas été enregistrées : " + display_path(file) + " (" +
                    bytes.why() + ")."};
        old = *std::move(bytes);
    }
    PatchedSettings patched = patch_settings(old, values);
    if (const Status written = replace_file(file, patched.bytes); !written)
        patched.problems.insert(patched.problems.begin(),
                                "Les préférences n'ont pas été enregistrées : " +
                                    display_path(file) + " (" + written.why() + ").");
    return patched.problems;
}

} // namespace marivent::prefs
