// The logbook "c:\journal.txt": a header, an empty line and a date line when created, then entry
// lines and date lines, appended only. Lines end in CR LF; text is Windows-1252.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/date.h"
#include "common/result.h"
#include "common/seams.h"
#include "common/sha256.h"

namespace marivent::journal {

// "Heure", 8 spaces, "Position", 8 spaces, "Vi.", 1 space, "Cap", 2 spaces, "Vers": 42 characters.
inline constexpr std::string_view header_line = "Heure        Position        Vi. Cap  Vers";

// What an existing journal holds at its start, read item by item: an item ends at a comma or at
// the end of a line (CR LF, LF or CR, as common/lines.h cuts them), an empty line is one empty
// item, a comma that ends the file has no item after it, spaces and tabs at the start of an item
// are skipped. Only the first three items matter.
struct ItemScan {
    int items = 0;                    // counted up to 3
    std::optional<std::string> third; // the third item, spaces at its end removed
};
ItemScan scan_items(std::string_view bytes);

// The fields of an entry line: the UTC time hhmmss, the hemisphere letters and the texts of the
// display boxes lat, longit, vi, cap and wpt2.
struct EntryFields {
    std::string heuretu, hemlat, lat, hemlon, longit, vi, cap, wpt2;
};

// The mark of an entry written on an event, not by the timer nor on demand.
enum class EntryEvent { none, waypoint, course };

// The mark as it ends the entry's line, after the waypoint and two spaces: "(changement de
// waypoint)", "(changement de cap)"; empty for none.
std::string_view event_mark(EntryEvent event);

// "hh:mm N4512.345 E00512.345  5,2 54  WPT01 " and CR LF: the fields as they are, never padded
// or cut, the time taken as characters 1-2 and 3-4 of `heuretu`. An entry on an event ends
// "WPT01  (changement de waypoint)" instead: a timed entry's text, a space and the mark.
std::string entry_line(const EntryFields& f, EntryEvent event = EntryEvent::none);

// The longest remark kept, in characters: a line any editor and the journal's readers take whole.
inline constexpr std::size_t remark_most = 500;

// A remark or a correction as the user typed it (UTF-8) made ready for the journal: blanks at its
// ends removed, tabs and other control characters made spaces; in Windows-1252. Refused (French,
// naming the remark or the correction) when empty, longer than `remark_most`, or holding a
// character Windows-1252 cannot (named in the reason). `cleaned` says the control characters
// were replaced.
struct RemarkText {
    std::string cp1252;
    bool cleaned = false;
};
Result<RemarkText> remark_text(std::string_view utf8);
Result<RemarkText> correction_text(std::string_view utf8);

// "hh:mm Remarque : <text>" and CR LF, the time UTC; when it is the computer's, not the GPS's,
// "hh:mm Remarque (heure de l'ordinateur) : <text>".
std::string remark_line(int hour, int minute, bool computer_clock, std::string_view cp1252);

// "hh:mm Correction de la ligne N : <text>" and CR LF, the time UTC; when it is the computer's,
// "hh:mm Correction de la ligne N (heure de l'ordinateur) : <text>". Line N stays as it is.
std::string correction_line(int hour, int minute, bool computer_clock, long long number,
                            std::string_view cp1252);

// The caption of the menu entry "heure" for a local time: "9:05", "14:30".
std::string hour_caption(int hour, int minute);

struct PrepareOutcome {
    Status usable;                     // else why the journal cannot be kept: the user must know
    std::optional<std::string> notice; // French: something the program deals with by itself
};

struct EntryOutcome {
    Status written;                    // the entry (and any line kept back) is on the disk, or why
                                       // not (French)
    std::string caption;               // "h:mm" of this entry, when written
    bool first_failure = false;        // the first failure after entries that were written
    std::optional<std::string> notice; // French: the journal had gone and was begun again
};

// The journal of one run of the program: start-up preparation and the entry writer's file work.
class JournalFile {
  public:
    JournalFile(std::filesystem::path file, const RegionalSettings& regional, const Clock& clock);

    // Start-up: creates the file when missing, takes `datejourn` from its third item, or writes
    // the header of a new journal (then `datejourn` stays at the zero date). The third item is
    // read in the regional short date format, else in one of the journal's date formats (a
    // journal begun under other regional settings). One that reads in none leaves the zero date,
    // so the next entry gets a date line; `notice` says so, and `third_line_notice` until then.
    PrepareOutcome prepare();

    // Appends a date line when today differs from `datejourn`, then the entry line. When the file
    // cannot be written the lines are kept back, in order, and written ahead of the next entry
    // that succeeds, so no line is lost while the disk comes back. A journal that has gone while
    // the program runs is begun again as a new one is (header, empty line, date line) before the
    // entry, and `notice` says so. Every line written is sealed (journal_seal.h) right after it.
    // An entry written on an event carries its mark.
    EntryOutcome append_entry(const EntryFields& fields, EntryEvent event = EntryEvent::none);
    // The same for any line of the journal (a remark), after a date line when the day changed.
    EntryOutcome append_line(std::string line);

    // What the start-up's check of the seal found, in French, when the seal does not cover every
    // line or no longer holds: the full text (start-up notice, head of the viewer) and a short
    // one for the status line, said only when the journal no longer matches its seal or the seal
    // cannot be read or written. Empty when all is well.
    const std::string& seal_notice() const { return seal_notice_; }
    const std::string& seal_status() const { return seal_status_; }
    std::filesystem::path seal_file() const;

    const Date& datejourn() const { return datejourn_; }
    // The start-up's notice of a third line that is not a date, until an entry has been written.
    const std::optional<std::string>& third_line_notice() const { return third_line_notice_; }
    std::size_t kept_back_bytes() const { return kept_back_.size(); }
    const std::filesystem::path& path() const { return file_; }

  private:
    std::filesystem::path file_;
    const RegionalSettings& regional_;
    const Clock& clock_;
    Date datejourn_;        // the zero date until a date is read or written
    std::string kept_back_; // lines not yet written, because the last appends failed
    Date kept_back_date_;   // the day of the first line kept back
    bool failing_ = false;  // the last append failed (the user has been told)
    std::optional<std::string> third_line_notice_;

    // The seal: checked at start-up, then a record appended for every line written.
    void open_seal(std::string_view journal_bytes);
    void start_chain(long long after_line);
    // After `bytes` went into the journal: their records, written at once or kept back.
    std::optional<std::string> seal_appended(std::string_view bytes);
    std::optional<std::string> write_seal();
    bool seal_on_ = false;                    // off when the seal cannot be read: left untouched
    long long seal_line_ = 0;                 // the journal line the chain stands at
    std::optional<Sha256Digest> seal_digest_; // the chain's last record, none after "debut"
    bool seal_glue_ = false;    // the journal ends with a line cut short: the next append ends it
    std::string seal_kept_;     // seal lines not yet written
    bool seal_failing_ = false; // the last write of the seal failed (the user has been told)
    std::string seal_notice_, seal_status_;
};

// The entry writer `journecri`: nothing at all while the route data is flagged invalid
// (`gpsmauvais` not 0); otherwise an entry from the navigation values and the display boxes,
// marked when it is written on an event. Returns nothing when it did not try.
std::optional<EntryOutcome> journecri(JournalFile& journal, int gpsmauvais,
                                      const std::string& heuretu, const std::string& hemlat,
                                      const std::string& hemlon, const Display& display,
                                      EntryEvent event = EntryEvent::none);

} // namespace marivent::journal
