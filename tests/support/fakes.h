// Fakes of the platform seams, and a fresh temporary ROOT, for the tests.
#pragma once
#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/seams.h"

namespace marivent::testing {

// French regional settings: dd/MM/yyyy and ",".
class FrenchRegional : public RegionalSettings {
  public:
    std::string short_date(const Date& d) const override;
    std::optional<Date> parse_short_date(std::string_view text) const override;
    char decimal_separator() const override { return ','; }
};

// German regional settings: dd.MM.yyyy and ",".
class GermanRegional : public RegionalSettings {
  public:
    std::string short_date(const Date& d) const override;
    std::optional<Date> parse_short_date(std::string_view text) const override;
    char decimal_separator() const override { return ','; }
};

// A clock that says what the test sets.
class FrozenClock : public Clock {
  public:
    LocalDateTime time{{2026, 12, 7}, 14, 35, 0};
    LocalDateTime now() const override { return time; }
};

// A steady clock that moves only when the test moves it.
class ManualSteadyClock : public SteadyClock {
  public:
    long long ms = 0;
    long long milliseconds() const override { return ms; }
};

// Records every box; answers questions from a script (No when it runs out).
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        std::string text, title, detail;
    };
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::deque<bool> answers;
    void message(std::string_view text, std::string_view title) override;
    bool ask_yes_no(std::string_view text, std::string_view title,
                    std::string_view detail) override;
};

// The display boxes as a map of box name to text.
class MapDisplay : public Display {
  public:
    std::map<Box, std::string> boxes;
    long speed_colour = -1;
    void set_text(Box box, std::string_view text) override { boxes[box] = text; }
    std::string text(Box box) const override;
    void set_speed_colour(long colour) override { speed_colour = colour; }
};

// Records what a viewer was asked to show.
class RecordingViewer : public TextViewer {
  public:
    struct Shown {
        std::string title, text;
        std::vector<StruckLine> struck; // of a journal
    };
    std::vector<Shown> shown;
    void show_text(std::string_view title, std::string_view text) override {
        shown.push_back({std::string(title), std::string(text), {}});
    }
    void show_journal(std::string_view title, std::string_view head, std::string_view journal,
                      const std::vector<StruckLine>& struck) override {
        TextViewer::show_journal(title, head, journal, struck);
        shown.back().struck = struck;
    }
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempRoot {
  public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::string read_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::string& bytes);

// The repository's test data written by real receivers and other programs (tests/data).
std::filesystem::path testdata_dir();

} // namespace marivent::testing
