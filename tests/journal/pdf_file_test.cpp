// Pages written as PDF 1.4: the cross-reference table points at each object, stream lengths are
// exact, strings escaped, texts placed from the bottom of the sheet, the same bytes every time.
#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <string_view>

#include "common/cp1252.h"
#include "journal/pdf_file.h"

namespace {

using namespace marivent;
using namespace marivent::journal;

long long number_at(std::string_view s, std::size_t at) {
    long long value = -1;
    std::from_chars(s.data() + at, s.data() + s.size(), value);
    return value;
}

Pages two_pages() {
    Pages pages;
    pages.title = "Journal de bord \x97 journal.txt";
    Page first;
    first.texts.push_back({36, 50, 13, Face::bold, "Journal de bord \x97 journal.txt"});
    first.texts.push_back({38.3, 100, 8, Face::regular, "a\\b(c)d\x81\xE9"});
    first.rules.push_back({38.3, 103, 556.7, 103, 0.5});
    Page second;
    second.texts.push_back({283.2, 814, 8, Face::regular, "page 2 / 2"});
    pages.pages = {first, second};
    return pages;
}

TEST(PdfFile, TheCrossReferenceTablePointsAtEveryObjectAndStreamLengthsAreExact) {
    const std::string pdf = pdf_file(two_pages());
    ASSERT_EQ(pdf.substr(0, 9), "%PDF-1.4\n");
    ASSERT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
    const std::size_t startxref = pdf.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    const long long xref = number_at(pdf, startxref + 10);
    ASSERT_GT(xref, 0);
    ASSERT_EQ(pdf.substr(static_cast<std::size_t>(xref), 7), "xref\n0 ");
    const long long size = number_at(pdf, static_cast<std::size_t>(xref) + 7);
    // Catalogue, page tree, two fonts, information, and a page and its content for each page.
    ASSERT_EQ(size, 1 + 5 + 2 * 2);
    std::size_t entry = pdf.find('\n', static_cast<std::size_t>(xref) + 7) + 1;
    EXPECT_EQ(pdf.substr(entry, 20), "0000000000 65535 f\r\n");
    for (long long k = 1; k < size; ++k) {
        entry += 20;
        const std::string line = pdf.substr(entry, 20);
        ASSERT_EQ(line.substr(10), " 00000 n\r\n") << k;
        const auto offset = static_cast<std::size_t>(number_at(line, 0));
        EXPECT_EQ(pdf.substr(offset, std::to_string(k).size() + 7), std::to_string(k) + " 0 obj\n")
            << "object " << k << " at " << offset;
    }
    EXPECT_EQ(pdf.substr(entry + 20, 8), "trailer\n");
    EXPECT_NE(pdf.find("/Size 10 /Root 1 0 R /Info 5 0 R"), std::string::npos);

    // Each stream is as long as its /Length says.
    int streams = 0;
    for (std::size_t at = pdf.find("/Length "); at != std::string::npos;
         at = pdf.find("/Length ", at + 1)) {
        const auto length = static_cast<std::size_t>(number_at(pdf, at + 8));
        const std::size_t data = pdf.find(" >>\nstream\n", at) + 11;
        EXPECT_EQ(pdf.substr(data + length, 10), "endstream\n");
        ++streams;
    }
    EXPECT_EQ(streams, 2);
    EXPECT_NE(pdf.find("/Type /Pages /MediaBox [0 0 595 842] /Count 2 /Kids [6 0 R 8 0 R]"),
              std::string::npos);
}

TEST(PdfFile, TextsGoInAsWindows1252WithTheStandardCourierFonts) {
    const std::string pdf = pdf_file(two_pages());
    // Backslash and brackets escaped, a byte without a glyph as '?', "é" as its own byte.
    EXPECT_NE(pdf.find("/F1 8 Tf\n1 0 0 1 38.3 742 Tm (a\\\\b\\(c\\)d?\xE9) Tj\n"),
              std::string::npos);
    EXPECT_NE(pdf.find("/F2 13 Tf\n1 0 0 1 36 792 Tm (Journal de bord \x97 journal.txt) Tj"),
              std::string::npos);
    EXPECT_NE(pdf.find("0.5 w\n38.3 739 m 556.7 739 l S\n"), std::string::npos);
    EXPECT_NE(pdf.find("1 0 0 1 283.2 28 Tm (page 2 / 2) Tj"), std::string::npos);
    for (const char* font : {"Courier", "Courier-Bold"})
        EXPECT_NE(pdf.find(std::string("/Subtype /Type1 /BaseFont /") + font +
                           " /Encoding /WinAnsiEncoding >>"),
                  std::string::npos)
            << font;
    EXPECT_EQ(pdf.find("/FontFile"), std::string::npos); // nothing embedded
    // The title in UTF-16 with its byte order mark: the dash is U+2014.
    EXPECT_NE(pdf.find("/Title <FEFF004A006F00750072006E0061006C00200064006500200062006F0072006400"
                       "2020140020006A006F00750072006E0061006C002E007400780074>"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Producer (Marivent)"), std::string::npos);
}

TEST(PdfFile, TheSamePagesGiveTheSameBytes) {
    EXPECT_EQ(pdf_file(two_pages()), pdf_file(two_pages()));
    // No date, no identifier that would change them.
    const std::string pdf = pdf_file(two_pages());
    EXPECT_EQ(pdf.find("/CreationDate"), std::string::npos);
    EXPECT_EQ(pdf.find("/ID"), std::string::npos);
}

TEST(PdfFile, NoPagesStillMakeAFileReadersOpen) {
    const std::string pdf = pdf_file(Pages{});
    EXPECT_NE(pdf.find("/Count 0 /Kids []"), std::string::npos);
    EXPECT_NE(pdf.find("xref\n0 6\n"), std::string::npos);
}

} // namespace
