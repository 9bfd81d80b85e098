// Pages written as PDF 1.4: the cross-reference table points at each object, stream lengths are
// exact, strings escaped, texts placed from the bottom of the sheet, the same bytes every time.
#include <gtest/gtest.h>

#include <charconv>
#include <string>

#include "journal/pdf_file.h"

namespace {

using namespace marivent::journal;

std::size_t number_at(const std::string& s, std::size_t at) {
    std::size_t value = 0;
    std::from_chars(s.data() + at, s.data() + s.size(), value);
    return value;
}

Pages two_pages() {
    Page first, second;
    first.texts.push_back({36, 50, 13, Face::bold, "Journal de bord \x97 journal.txt"});
    first.texts.push_back({38.3, 100, 8, Face::regular, "a\\b(c)d\x81\xE9"});
    first.rules.push_back({38.3, 103, 556.7, 103, 0.5});
    second.texts.push_back({283.2, 814, 8, Face::regular, "page 2 / 2"});
    return {"Journal de bord \x97 journal.txt", {first, second}};
}

TEST(PdfFile, TheCrossReferenceTablePointsAtEveryObjectAndStreamLengthsAreExact) {
    const std::string pdf = pdf_file(two_pages());
    EXPECT_EQ(pdf, pdf_file(two_pages())); // no date, no identifier
    ASSERT_EQ(pdf.substr(0, 9), "%PDF-1.4\n");
    ASSERT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
    const std::size_t xref = number_at(pdf, pdf.rfind("startxref\n") + 10);
    ASSERT_EQ(pdf.substr(xref, 7), "xref\n0 ");
    // Catalogue, page tree, two fonts, information, and a page and its content for each page.
    ASSERT_EQ(number_at(pdf, xref + 7), 10u);
    std::size_t entry = xref + 10;
    EXPECT_EQ(pdf.substr(entry, 20), "0000000000 65535 f\r\n");
    for (int k = 1; k < 10; ++k) {
        entry += 20;
        ASSERT_EQ(pdf.substr(entry + 10, 10), " 00000 n\r\n") << k;
        const std::string object = std::to_string(k) + " 0 obj\n";
        EXPECT_EQ(pdf.substr(number_at(pdf, entry), object.size()), object);
    }
    EXPECT_EQ(pdf.substr(entry + 20),
              "trailer\n<< /Size 10 /Root 1 0 R /Info 5 0 R >>\nstartxref\n" +
                  std::to_string(xref) + "\n%%EOF\n");
    int streams = 0;
    for (std::size_t at = pdf.find("/Length "); at != std::string::npos;
         at = pdf.find("/Length ", at + 1), ++streams) {
        const std::size_t data = pdf.find(" >>\nstream\n", at) + 11;
        EXPECT_EQ(pdf.substr(data + number_at(pdf, at + 8), 10), "endstream\n");
    }
    EXPECT_EQ(streams, 2);
    EXPECT_NE(pdf.find("/Type /Pages /MediaBox [0 0 595 842] /Count 2 /Kids [6 0 R 8 0 R]"),
              std::string::npos);
}

TEST(PdfFile, TextsGoInAsWindows1252WithTheStandardCourierFonts) {
    const std::string pdf = pdf_file(two_pages());
    // "\", "(" and ")" escaped, a byte without a glyph as '?', "é" as its byte; y from the bottom.
    EXPECT_NE(pdf.find("/F1 8 Tf\n1 0 0 1 38.3 742 Tm (a\\\\b\\(c\\)d?\xE9) Tj\n"),
              std::string::npos);
    EXPECT_NE(pdf.find("/F2 13 Tf\n1 0 0 1 36 792 Tm (Journal de bord \x97 journal.txt) Tj"),
              std::string::npos);
    EXPECT_NE(pdf.find("0.5 w\n38.3 739 m 556.7 739 l S\n"), std::string::npos);
    EXPECT_NE(pdf.find("1 0 0 1 283.2 28 Tm (page 2 / 2) Tj"), std::string::npos);
    for (const std::string font : {"Courier", "Courier-Bold"})
        EXPECT_NE(pdf.find("/Subtype /Type1 /BaseFont /" + font + " /Encoding /WinAnsiEncoding >>"),
                  std::string::npos);
    EXPECT_EQ(pdf.find("/FontFile"), std::string::npos); // nothing embedded
    // The title in UTF-16 with its byte order mark, the dash U+2014.
    EXPECT_NE(
        pdf.find("/Title <FEFF004A006F00750072006E0061006C00200064006500200062006F0072006400"
                 "2020140020006A006F00750072006E0061006C002E007400780074> /Producer (Marivent)"),
        std::string::npos);
}

} // namespace
