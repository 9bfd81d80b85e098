#include "journal/pdf_file.h"

#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1252.h"
#include "common/number_text.h"

namespace marivent::journal {

namespace {

// The objects: the catalogue, the page tree, the two fonts and the document's information, then
// each page and its content stream.
constexpr int catalogue_object = 1;
constexpr int page_tree_object = 2;
constexpr int regular_font_object = 3;
constexpr int bold_font_object = 4;
constexpr int info_object = 5;
constexpr int first_page_object = 6;

int page_object(std::size_t k) {
    return first_page_object + 2 * static_cast<int>(k);
}

// A length in points, to the hundredth, without trailing zeros: "36", "812.5", "0.6".
std::string number(double value) {
    std::string s = fixed_text(value, 2);
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string reference(int object) {
    return integer_text(object) + " 0 R";
}

// A literal string: "\", "(" and ")" escaped, bytes without a glyph as '?'.
void append_string(std::string& out, std::string_view cp1252) {
    out += '(';
    for (const char byte : cp1252) {
        const char c = printable(byte);
        if (c == '\\' || c == '(' || c == ')') out += '\\';
        out += c;
    }
    out += ')';
}

// A text string of the document's information, in UTF-16BE with its byte order mark, written in
// hexadecimal: readers show it as it is, whatever its characters.
std::string text_string(std::string_view cp1252) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    auto unit = [&out](unsigned u) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(u >> shift) & 0xF];
    };
    for (const char32_t c : cp1252_decode(cp1252)) {
        if (c < 0x10000) {
            unit(static_cast<unsigned>(c));
        } else {
            const auto v = static_cast<unsigned>(c - 0x10000);
            unit(0xD800 + (v >> 10));
            unit(0xDC00 + (v & 0x3FF));
        }
    }
    out += '>';
    return out;
}

// The drawing of one page, in PDF's coordinates: from the bottom left corner, up.
std::string content(const Page& page) {
    std::string out;
    out.reserve(page.texts.size() * 80 + page.rules.size() * 40);
    if (!page.texts.empty()) {
        out += "BT\n";
        Face face = Face::regular;
        double size = -1;
        for (const PageText& t : page.texts) {
            if (t.face != face || t.size != size) {
                face = t.face;
                size = t.size;
                out += face == Face::bold ? "/F2 " : "/F1 ";
                out += number(size);
                out += " Tf\n";
            }
            out += "1 0 0 1 ";
            out += number(t.x);
            out += ' ';
            out += number(page_height - t.y);
            out += " Tm ";
            append_string(out, t.text);
            out += " Tj\n";
        }
        out += "ET\n";
    }
    double width = -1;
    for (const PageRule& r : page.rules) {
        if (r.width != width) {
            width = r.width;
            out += number(width) + " w\n";
        }
        out += number(r.x1) + ' ' + number(page_height - r.y1) + " m " + number(r.x2) + ' ' +
               number(page_height - r.y2) + " l S\n";
    }
    return out;
}

} // namespace

std::string pdf_file(const Pages& pages) {
    std::string out;
    std::size_t size = 1000;
    for (const Page& p : pages.pages)
        size += 200 + p.texts.size() * 80 + p.rules.size() * 40;
    out.reserve(size);
    // The second line's bytes above 127 tell transfer programs the file is binary.
    out += "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets; // of object k + 1
    auto begin_object = [&](int object) {
        if (offsets.size() < static_cast<std::size_t>(object))
            offsets.resize(static_cast<std::size_t>(object));
        offsets[static_cast<std::size_t>(object - 1)] = out.size();
        out += integer_text(object) + " 0 obj\n";
    };

    begin_object(catalogue_object);
    out += "<< /Type /Catalog /Pages " + reference(page_tree_object) + " >>\nendobj\n";
    begin_object(page_tree_object);
    out += "<< /Type /Pages /MediaBox [0 0 " + number(page_width) + ' ' + number(page_height) +
           "] /Count " + integer_text(static_cast<long long>(pages.pages.size())) + " /Kids [";
    for (std::size_t k = 0; k < pages.pages.size(); ++k)
        out += (k ? " " : "") + reference(page_object(k));
    out += "] >>\nendobj\n";
    for (const auto& [object, name] :
         {std::pair{regular_font_object, "Courier"}, std::pair{bold_font_object, "Courier-Bold"}}) {
        begin_object(object);
        out += std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + name +
               " /Encoding /WinAnsiEncoding >>\nendobj\n";
    }
    begin_object(info_object);
    out += "<< /Title " + text_string(pages.title) + " /Producer (Marivent) >>\nendobj\n";

    for (std::size_t k = 0; k < pages.pages.size(); ++k) {
        begin_object(page_object(k));
        out += "<< /Type /Page /Parent " + reference(page_tree_object) +
               " /Resources << /Font << /F1 " + reference(regular_font_object) + " /F2 " +
               reference(bold_font_object) + " >> >> /Contents " + reference(page_object(k) + 1) +
               " >>\nendobj\n";
        const std::string stream = content(pages.pages[k]);
        begin_object(page_object(k) + 1);
        out +=
            "<< /Length " + integer_text(static_cast<long long>(stream.size())) + " >>\nstream\n";
        out += stream;
        out += "endstream\nendobj\n";
    }

    // The cross-reference table: 20 bytes an entry, the line end included.
    const std::size_t xref = out.size();
    const std::string count = integer_text(static_cast<long long>(offsets.size() + 1));
    out += "xref\n0 " + count + "\n0000000000 65535 f\r\n";
    for (const std::size_t offset : offsets) {
        std::string digits = integer_text(static_cast<long long>(offset));
        out += std::string(10 - digits.size(), '0') + digits + " 00000 n\r\n";
    }
    out += "trailer\n<< /Size " + count + " /Root " + reference(catalogue_object) + " /Info " +
           reference(info_object) + " >>\nstartxref\n" +
           integer_text(static_cast<long long>(xref)) + "\n%%EOF\n";
    return out;
}

} // namespace marivent::journal
