// The settings file reader, and the writer on what it read: every record (the five of old, the
// sixth, "Tous les émetteurs", the ports' devices, 7 to 10, the pilot's choice, 11 to 14, and the
// angle of the journal's entry on a change of course, 15) reads back as written, the file is
// never shortened and no byte outside the written records changes; a text too long for its record
// is refused without spilling into the next one.
#include <algorithm>
#include <vector>

#include "common/number_text.h"
#include "prefs/settings_file.h"
#include "support.h"

namespace {

using namespace marivent::prefs;

// The angle last.
std::size_t file_length(int course_angle) {
    return (last_record - 1) * record_length + 2 + marivent::integer_text(course_angle).size();
}

bool nmea_words(const PilotRecords& p) {
    return (p.kind == "apa" || p.kind == "apb" || p.kind == "apb+rmb+xte") &&
           (p.reference == "vrai" || p.reference == "magnetique") && p.talker.size() == 2;
}

void check_read(std::string_view bytes, const SettingsRecords& r) {
    FUZZ_CHECK(r.records == static_cast<int>((bytes.size() + record_length - 1) / record_length));
    int applied = 0;
    for (const auto& t : r.text) {
        if (t) {
            FUZZ_CHECK(t->size() <= max_text_length);
            ++applied;
        }
    }
    if (r.port) {
        FUZZ_CHECK(*r.port >= 1 && *r.port <= 4);
        ++applied;
    }
    if (r.all_talkers) ++applied;
    for (const auto& d : r.devices) {
        if (d) {
            FUZZ_CHECK(d->size() <= max_text_length);
            ++applied;
        }
    }
    // Records 11-15 are applied into their defaults, not counted: each is applied or said.
    const int said = applied + static_cast<int>(r.problems.size());
    FUZZ_CHECK(said >= std::min(r.records, last_device_record));
    FUZZ_CHECK(said <= std::min(r.records, last_record));
    FUZZ_CHECK(nmea_words(r.pilot));
    FUZZ_CHECK(r.course_angle >= 0 && r.course_angle <= 180);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    marivent::fuzz::environment_locale();
    const std::string_view bytes = marivent::fuzz::text(data, size);
    const SettingsRecords old = parse_settings(bytes);
    check_read(bytes, old);

    // Saved again as read: each record is written in place and reads back the same.
    SettingsToWrite values{old.text[0].value_or(""), old.text[1].value_or(""),
                           old.text[2].value_or(""), old.text[3].value_or(""),
                           old.port.value_or(1),     old.all_talkers.value_or(false)};
    for (std::size_t i = 0; i < values.devices.size(); ++i)
        values.devices[i] = old.devices[i].value_or("");
    values.pilot = old.pilot;
    values.course_angle = old.course_angle;
    const PatchedSettings saved = patch_settings(bytes, values);
    FUZZ_CHECK(saved.problems.empty());
    FUZZ_CHECK(saved.bytes.size() == std::max(bytes.size(), file_length(values.course_angle)));
    const SettingsRecords again = parse_settings(saved.bytes);
    check_read(saved.bytes, again);
    const std::string* texts[4] = {&values.interval, &values.offset, &values.ozi_folder,
                                   &values.cmap_folder};
    for (int i = 0; i < 4; ++i)
        FUZZ_CHECK(again.text[i] && *again.text[i] == *texts[i]);
    FUZZ_CHECK(again.port && *again.port == values.port);
    FUZZ_CHECK(again.all_talkers && *again.all_talkers == values.all_talkers);
    for (std::size_t i = 0; i < values.devices.size(); ++i)
        FUZZ_CHECK(again.devices[i] && *again.devices[i] == values.devices[i]);
    FUZZ_CHECK(again.pilot == values.pilot);
    FUZZ_CHECK(again.course_angle == values.course_angle);
    FUZZ_CHECK(again.problems.empty());
    std::vector<bool> written(saved.bytes.size(), false);
    for (int i = 0; i < 4; ++i)
        std::fill_n(written.begin() + i * record_length, 2 + texts[i]->size(), true);
    std::fill_n(written.begin() + 4 * record_length, 4, true);
    std::fill_n(written.begin() + 5 * record_length, 3, true);
    for (int i = 0; i < device_records; ++i)
        std::fill_n(written.begin() + (first_device_record - 1 + i) * record_length,
                    2 + values.devices[static_cast<std::size_t>(i)].size(), true);
    const std::string* pilot[] = {&values.pilot.kind, &values.pilot.reference,
                                  &values.pilot.variation, &values.pilot.talker};
    for (int i = 0; i < 4; ++i)
        std::fill_n(written.begin() + (pilot_kind_record - 1 + i) * record_length,
                    2 + pilot[i]->size(), true);
    std::fill_n(written.begin() + (course_angle_record - 1) * record_length,
                2 + marivent::integer_text(values.course_angle).size(), true);
    for (std::size_t k = 0; k < bytes.size(); ++k)
        if (!written[k]) FUZZ_CHECK(saved.bytes[k] == bytes[k]);

    // The input itself as the journal interval: more than 126 bytes is refused, and the record
    // keeps what it held (nothing when it held nothing valid).
    values.interval = std::string(bytes);
    const PatchedSettings long_text = patch_settings(bytes, values);
    const SettingsRecords back = parse_settings(long_text.bytes);
    FUZZ_CHECK(long_text.bytes.size() == std::max(bytes.size(), file_length(values.course_angle)));
    if (bytes.size() > max_text_length) {
        FUZZ_CHECK(long_text.problems.size() == 1);
        FUZZ_CHECK(back.text[0] && *back.text[0] == old.text[0].value_or(""));
    } else {
        FUZZ_CHECK(long_text.problems.empty());
        FUZZ_CHECK(back.text[0] && *back.text[0] == bytes);
    }
    for (int i = 1; i < 4; ++i)
        FUZZ_CHECK(back.text[i] && *back.text[i] == *texts[i]);
    return 0;
}
