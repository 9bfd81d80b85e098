// The journal as printed pages: A4 sheets, each a list of texts at positions and of line
// segments, drawn the same way into a PDF file (pdf_file.h) and on a printer (the window).
//
// The first page opens with the journal's name, the period its lines cover (UTC dates) and the
// state of its seal; the others with one short line of the same. Then the lines as a table, one
// row per journal line: its number as the viewer counts them (1 = the file's first line), the
// UTC date and time, the position in degrees and minutes, the speed, the course and the waypoint
// of an entry; a remark's or correction's text, or a hand-edited line's, in full, wrapped over the
// row. A line that was corrected further down is struck through, its corrections written under
// it. Each page ends with "page k / n".
//
// The fonts are fixed-pitch, every glyph 0.6 em wide (Courier), so a text's width is known from
// its number of bytes and the wrapping is exact. Texts are Windows-1252, one glyph per byte.
#pragma once
#include <string>
#include <vector>

#include "journal/journal_read.h"
#include "journal/journal_seal.h"

namespace marivent::journal {

// A4, in points (1/72 inch).
inline constexpr double page_width = 595;
inline constexpr double page_height = 842;
// Every glyph's width, in ems.
inline constexpr double glyph_em = 0.6;

enum class Face { regular, bold };

struct PageText {
    double x = 0, y = 0; // where the baseline starts, in points from the page's top left corner
    double size = 0;     // in points
    Face face = Face::regular;
    std::string text; // Windows-1252, only bytes that have a glyph (printable)

    double width() const { return glyph_em * size * static_cast<double>(text.size()); }
};

// A straight line: a rule, or a stroke through a text.
struct PageRule {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // in points from the top left corner
    double width = 0.5;                    // of the stroke, in points
};

struct Page {
    std::vector<PageText> texts;
    std::vector<PageRule> rules;
};

struct Pages {
    std::string title; // Windows-1252: the document's name ("Journal de bord journal.txt")
    std::vector<Page> pages;
};

// A byte as the fonts can draw it: a tab as a space, the bytes with no glyph in Windows-1252
// (control characters, 0x7F and the five it leaves undefined) as '?'.
char printable(char c);

// What the pages say about the journal besides its lines.
struct PrintHead {
    std::string name;      // UTF-8: the journal as the user knows it ("journal.txt")
    std::string seal_name; // UTF-8: its seal file, for the verdict ("journal.sceau")
    SealCheck seal;
};

// The state of the seal in a few words (UTF-8): "intact", "altéré à partir de la ligne 12",
// "intact, lignes non scellées", "absent", "illisible".
std::string seal_state(const SealCheck& seal);

// The journal laid out on pages; at least one, even for a journal without lines.
Pages journal_pages(const JournalRead& journal, const PrintHead& head);

} // namespace marivent::journal
