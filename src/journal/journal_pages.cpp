#include "journal/journal_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "common/cp1252.h"
#include "common/number_text.h"
#include "journal/journal_file.h"

namespace marivent::journal {

namespace {

// The body's font size, its glyph width and the distance between two of its lines.
constexpr double body_size = 8;
constexpr double glyph = glyph_em * body_size;
constexpr double pitch = 10;
// The table spans 108 glyphs of the body's font, centred on the page.
constexpr int row_glyphs = 108;
constexpr double left = (page_width - row_glyphs * glyph) / 2;
constexpr double right = page_width - left;
constexpr double first_baseline = 50;              // of the header, on every page
constexpr double last_baseline = page_height - 48; // of the table's lines
constexpr double footer_baseline = page_height - 28;

// The table's columns, in glyphs from the left margin.
constexpr int number_column = 0, number_glyphs = 6; // right-aligned
constexpr int date_column = 7;
constexpr int time_column = 18;
constexpr int position_column = 24;
constexpr int speed_column = 51, speed_glyphs = 5; // right-aligned
constexpr int course_column = 57;
constexpr int waypoint_column = 62;
// Texts (remarks, corrections, lines edited by hand) start at the position's column.
constexpr int text_column = position_column;

// One piece of text on a line of the table, at a column.
struct Cell {
    int column = 0;
    Face face = Face::regular;
    std::string text; // Windows-1252
};

struct BodyLine {
    std::vector<Cell> cells;
    bool struck = false; // a stroke through every cell but the line number
};

// The rows of one journal line: kept on one page when they fit.
using Block = std::vector<BodyLine>;

std::string two_digits(long long n) {
    return (n < 10 ? "0" : "") + integer_text(n);
}

std::string date_text(const Date& d) {
    std::string year = integer_text(d.year);
    while (year.size() < 4)
        year.insert(0, 1, '0');
    return two_digits(d.day) + "/" + two_digits(d.month) + "/" + year;
}

std::string time_text(int minute) {
    return two_digits(minute / 60) + ":" + two_digits(minute % 60);
}

std::string padded_left(std::string s, std::size_t width) {
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

// "47°52,345' N" (two digits of degrees) or "003°55,123' W" (three): degrees and minutes to the
// thousandth, from thousandths of a minute so no rounding makes 60 minutes. Windows-1252.
std::string angle_text(double degrees, int degree_digits, char plus, char minus) {
    const long long thousandths = std::llround(std::fabs(degrees) * 60000);
    std::string d = integer_text(thousandths / 60000);
    while (static_cast<int>(d.size()) < degree_digits)
        d.insert(0, 1, '0');
    const long long in_degree = thousandths % 60000;
    std::string fraction = integer_text(in_degree % 1000);
    while (fraction.size() < 3)
        fraction.insert(0, 1, '0');
    return d + "\xB0" + two_digits(in_degree / 1000) + "," + fraction + "' " +
           (degrees < 0 ? minus : plus);
}

// The speed as the window shows it, one decimal after a comma: "5,2".
std::string speed_text(double knots) {
    std::string s = fixed_text(knots, 1);
    std::replace(s.begin(), s.end(), '.', ',');
    return s == "-0,0" ? "0,0" : s;
}

std::string_view trimmed_end(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// The text cut into lines of at most `first` glyphs, then `rest`, at spaces; a word longer than
// a line is cut where the line ends. Every byte but the spaces where a line breaks is kept.
std::vector<std::string_view> wrapped(std::string_view text, std::size_t first, std::size_t rest) {
    std::vector<std::string_view> out;
    std::size_t width = std::max<std::size_t>(first, 1);
    text = trimmed_end(text);
    while (text.size() > width) {
        std::size_t cut = text.rfind(' ', width);
        std::size_t next = cut + 1;
        if (cut == std::string_view::npos || trimmed_end(text.substr(0, cut)).empty())
            cut = next = width;
        out.push_back(trimmed_end(text.substr(0, cut)));
        text.remove_prefix(next);
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        width = std::max<std::size_t>(rest, 1);
    }
    if (!text.empty() || out.empty()) out.push_back(text);
    return out;
}

// The French words of the pages, in Windows-1252.
struct Words {
    std::string number_heading = utf8_to_cp1252("N°");
    std::string knots_heading = utf8_to_cp1252("Nœuds");
    std::string corrected = utf8_to_cp1252("corrigée ligne ");
    std::string no_position = "(pas de position)";
    std::string remark = "Remarque :";
    std::string remark_computer = "Remarque (heure de l'ordinateur) :";
    std::string correction = "Correction de la ligne ";
    std::string computer = " (heure de l'ordinateur)";
    std::string degree = "\xB0";
};

// A label in bold and a text after it, wrapped from `column` to the row's end.
void add_labelled(Block& block, BodyLine first, int column, const std::string& label,
                  std::string_view text) {
    const std::size_t span = static_cast<std::size_t>(row_glyphs - column);
    const std::size_t after = label.size() + 1;
    first.cells.push_back({column, Face::bold, label});
    std::size_t first_width = span > after ? span - after : 0;
    if (first_width < 10 && !text.empty()) { // no room for the text after a long label
        block.push_back(std::move(first));
        first = BodyLine{};
        first_width = span;
    }
    const std::vector<std::string_view> pieces = wrapped(text, first_width, span);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        BodyLine line = k == 0 ? std::move(first) : BodyLine{};
        const int at = k == 0 && first_width != span ? column + static_cast<int>(after) : column;
        if (!pieces[k].empty()) line.cells.push_back({at, Face::regular, std::string(pieces[k])});
        block.push_back(std::move(line));
    }
}

// The rows of one line of the journal, its corrections under it.
Block line_block(const JournalLine& line, const Words& words) {
    Block block;
    BodyLine first;
    first.cells.push_back(
        {number_column, Face::regular, padded_left(integer_text(line.number), number_glyphs)});
    if (line.date) first.cells.push_back({date_column, Face::regular, date_text(*line.date)});
    if (line.minute) first.cells.push_back({time_column, Face::regular, time_text(*line.minute)});

    if (line.entry) {
        if (line.has_position())
            first.cells.push_back({position_column, Face::regular,
                                   angle_text(*line.latitude, 2, 'N', 'S') + " " +
                                       angle_text(line.longitude.value_or(0), 3, 'E', 'W')});
        else
            first.cells.push_back({position_column, Face::regular, words.no_position});
        if (line.speed)
            first.cells.push_back(
                {speed_column, Face::regular, padded_left(speed_text(*line.speed), speed_glyphs)});
        if (line.course)
            first.cells.push_back({course_column, Face::regular,
                                   padded_left(integer_text(*line.course), 3) + words.degree});
        const std::vector<std::string_view> waypoint =
            wrapped(line.waypoint, row_glyphs - waypoint_column, row_glyphs - waypoint_column);
        for (std::size_t k = 0; k < waypoint.size(); ++k) {
            if (k > 0) block.push_back(std::move(first)), first = BodyLine{};
            if (!waypoint[k].empty())
                first.cells.push_back({waypoint_column, Face::regular, std::string(waypoint[k])});
        }
        block.push_back(std::move(first));
        if (line.event != EntryEvent::none)
            block.push_back({{{text_column, Face::bold, std::string(event_mark(line.event))}}});
    } else if (line.remark || line.correction) {
        std::string label = line.correction ? words.correction + integer_text(line.corrects) +
                                                  (line.computer_clock ? words.computer : "") + " :"
                            : line.computer_clock ? words.remark_computer
                                                  : words.remark;
        add_labelled(block, std::move(first), text_column, label, line.remark_text);
    } else {
        // Edited by hand or damaged: its text as it is, spaces at its start kept.
        const std::size_t span = row_glyphs - text_column;
        for (const std::string_view piece : wrapped(line.text, span, span)) {
            if (!piece.empty())
                first.cells.push_back({text_column, Face::regular, std::string(piece)});
            block.push_back(std::move(first));
            first = BodyLine{};
        }
    }
    if (line.struck()) {
        for (BodyLine& l : block)
            l.struck = true;
        for (const LineCorrection& c : line.corrections)
            add_labelled(block, BodyLine{}, text_column,
                         words.corrected + integer_text(c.number) + " :", c.text);
    }
    return block;
}

// The text of a byte string as the fonts draw it.
std::string printable_text(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = printable(c);
    return out;
}

// Texts of the header, wrapped to the page's width at their size, from `y` down; returns the
// baseline after them.
double add_paragraph(Page& page, double y, double size, Face face, double leading,
                     std::string_view cp1252) {
    const auto glyphs = static_cast<std::size_t>((right - left) / (glyph_em * size));
    for (const std::string_view piece : wrapped(cp1252, glyphs, glyphs)) {
        page.texts.push_back({left, y, size, face, printable_text(piece)});
        y += leading;
    }
    return y;
}

// "du 07/12/2026 au 09/12/2026", "le 07/12/2026", or nothing: the UTC dates of the lines.
std::string period_text(const JournalRead& journal) {
    std::optional<Date> first, last;
    for (const JournalLine& l : journal.lines) {
        if (!l.date) continue;
        if (!first || *l.date < *first) first = l.date;
        if (!last || *last < *l.date) last = l.date;
    }
    if (!first) return {};
    if (*first == *last) return "le " + date_text(*first);
    return "du " + date_text(*first) + " au " + date_text(*last);
}

class Layout {
  public:
    Layout(const JournalRead& journal, const PrintHead& head) {
        const std::string period = period_text(journal);
        const std::string state = seal_state(head.seal);
        const std::string verdict = seal_verdict(head.seal, head.seal_name);
        title_ = utf8_to_cp1252("Journal de bord — " + head.name);
        period_ = utf8_to_cp1252(period.empty() ? "Période : aucune ligne datée."
                                                : "Période : " + period + " (dates UTC).");
        seal_ = utf8_to_cp1252("Sceau : " + state + ". " +
                               (verdict.empty()
                                    ? "Toutes les lignes sont scellées (" + head.seal_name + ")."
                                    : verdict));
        short_head_ = utf8_to_cp1252(head.name + (period.empty() ? "" : " — " + period) +
                                     " — sceau " + state);
    }

    Pages lay_out(const JournalRead& journal) {
        const Words words;
        headings_ = {{number_column, Face::bold, padded_left(words.number_heading, number_glyphs)},
                     {date_column, Face::bold, "Date"},
                     {time_column, Face::bold, "Heure"},
                     {position_column, Face::bold, "Position"},
                     {speed_column, Face::bold, words.knots_heading},
                     {course_column, Face::bold, "Cap"},
                     {waypoint_column, Face::bold, "Waypoint"}};
        new_page();
        for (const JournalLine& line : journal.lines) {
            Block block = line_block(line, words);
            // A row that does not fit below begins the next page, unless no page can hold it.
            if (y_ + pitch * static_cast<double>(block.size() - 1) > last_baseline &&
                y_ != table_top_)
                new_page();
            for (BodyLine& l : block) {
                if (y_ > last_baseline) new_page();
                add_line(std::move(l));
                y_ += pitch;
            }
        }
        if (journal.lines.empty())
            add_line({{{text_column, Face::regular, "Le journal ne contient aucune ligne."}}});

        const std::string total = integer_text(static_cast<long long>(pages_.pages.size()));
        for (std::size_t k = 0; k < pages_.pages.size(); ++k) {
            const std::string n =
                "page " + integer_text(static_cast<long long>(k + 1)) + " / " + total;
            const double width = glyph * static_cast<double>(n.size());
            pages_.pages[k].texts.push_back(
                {(page_width - width) / 2, footer_baseline, body_size, Face::regular, n});
        }
        pages_.title = title_;
        return std::move(pages_);
    }

  private:
    void new_page() {
        Page& page = pages_.pages.emplace_back();
        page.texts.reserve(600); // a page of entries: 7 texts a row, 72 rows
        double y = first_baseline;
        if (pages_.pages.size() == 1) {
            y = add_paragraph(page, y, 13, Face::bold, 16, title_);
            y = add_paragraph(page, y + 2, 9, Face::regular, 11, period_);
            y = add_paragraph(page, y, 9, Face::regular, 11, seal_);
            y += 6;
        } else {
            y = add_paragraph(page, y, body_size, Face::regular, pitch, short_head_) + 4;
        }
        y_ = y;
        add_line(BodyLine{headings_});
        page.rules.push_back({left, y + 3, right, y + 3, 0.5});
        y_ = table_top_ = y + pitch + 4;
    }

    void add_line(BodyLine line) {
        Page& page = pages_.pages.back();
        for (Cell& c : line.cells) {
            for (char& b : c.text)
                b = printable(b);
            PageText& t = page.texts.emplace_back(
                PageText{left + glyph * c.column, y_, body_size, c.face, std::move(c.text)});
            // The stroke over the glyphs, not over the spaces that align them.
            const std::size_t lead = t.text.find_first_not_of(' ');
            if (line.struck && c.column != number_column && lead != std::string::npos) {
                const double y = y_ - 0.27 * body_size;
                page.rules.push_back(
                    {t.x + glyph * static_cast<double>(lead), y, t.x + t.width(), y, 0.6});
            }
        }
    }

    Pages pages_;
    std::string title_, period_, seal_, short_head_;
    std::vector<Cell> headings_;
    double y_ = 0;         // the next line's baseline
    double table_top_ = 0; // the first line's baseline on this page
};

} // namespace

char printable(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\t') return ' ';
    if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
        return '?';
    return c;
}

std::string seal_state(const SealCheck& seal) {
    switch (seal.seal) {
    case SealCheck::Seal::missing:
        return "absent";
    case SealCheck::Seal::unreadable:
        return "illisible";
    case SealCheck::Seal::read:
        break;
    }
    if (seal.first_altered != 0)
        return "altéré à partir de la ligne " + integer_text(seal.first_altered);
    if (!seal.unsealed.empty()) return "intact, lignes non scellées";
    if (seal.last_cut_short) return "intact, dernière ligne coupée";
    return "intact";
}

Pages journal_pages(const JournalRead& journal, const PrintHead& head) {
    return Layout(journal, head).lay_out(journal);
}

} // namespace marivent::journal
