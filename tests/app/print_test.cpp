// Journal > Imprimer: the journal's pages handed to the printer seam, by the keyboard as a user
// does; what the printer says; and the pages drawn by the Qt renderer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "common/cp1252.h"
#include "common/number_text.h"
#include "journ.h"
#include "journal/journal_pages.h"
#include "printer.h"
#include "qt_printer.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::app::Printer;
using marivent::testing::read_bytes;
using marivent::testing::wait_for;
using marivent::testing::write_bytes;

// Records the pages it is given and answers what the test says.
class RecordingPrinter : public Printer {
  public:
    std::vector<journal::Pages> printed;
    Result<Outcome> answer = Outcome::printed;
    Result<Outcome> print(const journal::Pages& pages) override {
        printed.push_back(pages);
        return answer;
    }
};

struct PrintTest : marivent::testing::WindowFixture {
    RecordingPrinter recording;
    PrintTest() { printer = &recording; }
    // A journal kept under French settings, the clock 1 h ahead of UTC: two entries, a remark
    // and a note typed in an editor.
    const std::string journal = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n"
                                "13:30 N4752.2720 W00355.0140  5,2 54  GLENAN \r\n"
                                "13:40 Remarque : deux ris, moteur coup\xE9\r\n"
                                "Escale \xE0 Groix\r\n"
                                "23:30 N4740.5000 W00350.2500  6, 180  GLENAN \r\n";
};

std::string all_text(const journal::Pages& pages) {
    std::string out;
    for (const journal::Page& p : pages.pages)
        for (const journal::PageText& t : p.texts)
            out += t.text + "\n";
    return out;
}

// Alt+J, then the key of an entry of the Journal menu, as a user types them.
void journal_menu_key(Journ& w, Qt::Key key) {
    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, Qt::Key_J, Qt::AltModifier);
    QMenu* menu = w.findChild<QMenu*>("mnujournal");
    ASSERT_TRUE(wait_for([&] { return menu->isVisible(); }));
    QTest::keyClick(menu, key);
}

TEST_F(PrintTest, AltJIPrintsTheJournalsPagesAndWritesNothing) {
    write_bytes(root / "journal.txt", journal);
    auto w = open();
    w->prefs.decalage = "1";
    const std::string before = read_bytes(root / "journal.txt");
    journal_menu_key(*w, Qt::Key_I);
    ASSERT_TRUE(wait_for([&] { return !recording.printed.empty(); }));
    ASSERT_EQ(recording.printed.size(), 1u);
    const journal::Pages& pages = recording.printed[0];
    ASSERT_EQ(pages.pages.size(), 1u);
    const std::string text = all_text(pages);
    EXPECT_EQ(pages.title, "Journal de bord \x97 journal.txt");
    for (const char* expected :
         {"page 1 / 1", "     4", "13:30", "23:30",
          "47\xB0"
          "52,272' N 003\xB0"
          "55,014' W",
          "deux ris, moteur coup\xE9", "Escale \xE0 Groix", "     7",
          // 23:30 UTC is 00:30 local: the entry's UTC day is the date line's day before.
          "06/12/2026", "P\xE9riode : du 06/12/2026 au 07/12/2026 (dates UTC)."})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // The journal begun without its seal: the window starts a chain after its lines.
    EXPECT_NE(text.find(utf8_to_cp1252("Sceau : intact, lignes non scellées.")), std::string::npos)
        << text;
    EXPECT_EQ(w->findChild<QLabel*>("note")->text(), "Journal imprimé (1 page).");
    EXPECT_EQ(read_bytes(root / "journal.txt"), before);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintTest, EachEntryOfTheJournalMenuHasItsOwnAccessKey) {
    auto w = open();
    QMenu* menu = w->findChild<QMenu*>("mnujournal");
    ASSERT_NE(menu, nullptr);
    QString keys;
    for (const QAction* a : menu->actions()) {
        const qsizetype amp = a->text().indexOf('&');
        ASSERT_GE(amp, 0) << a->text().toStdString();
        const QChar key = a->text().at(amp + 1).toLower();
        EXPECT_FALSE(keys.contains(key)) << a->text().toStdString();
        keys += key;
    }
    EXPECT_TRUE(keys.contains('i'));
}

TEST_F(PrintTest, ACancelledOrFailedPrintIsSaidInFrench) {
    write_bytes(root / "journal.txt", journal);
    auto w = open();
    recording.answer = Printer::Outcome::cancelled;
    w->menu("mnujourimprimer")->trigger();
    EXPECT_EQ(w->findChild<QLabel*>("note")->text(), "Impression annulée.");
    EXPECT_TRUE(dialogs.messages.empty());

    recording.answer = failure("l'imprimante a signalé une erreur");
    w->menu("mnujourimprimer")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Le journal n'a pas été imprimé : l'imprimante a signalé une erreur.");
    EXPECT_EQ(dialogs.messages[0].title, "Journal de bord");
    EXPECT_EQ(recording.printed.size(), 2u);
}

TEST_F(PrintTest, AJournalThatCannotBeReadIsSaidAndNothingIsPrinted) {
    auto w = open();
    std::filesystem::remove(root / "journal.txt");
    w->menu("mnujourimprimer")->trigger();
    EXPECT_TRUE(recording.printed.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("ne peut pas être imprimé"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "journal.txt"));
}

// The columns of `image` that hold a dark pixel between rows `top` and `bottom`.
std::pair<int, int> dark_span(const QImage& image, int top, int bottom) {
    int first = image.width(), last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                first = std::min(first, x), last = std::max(last, x);
    return {first, last};
}

TEST(PagePainter, TextsAndRulesLandWhereThePageModelPutsThem) {
    journal::Page page;
    // 50 glyphs of 10 points: 300 points wide, from 100 points.
    page.texts.push_back({100, 100, 10, journal::Face::regular, std::string(50, 'M')});
    page.texts.push_back({100, 200, 10, journal::Face::bold, "Escale \xE0 Groix"});
    page.rules.push_back({50, 300, 500, 300, 1});
    // At 144 dots per inch: two dots a point.
    QImage image(2 * 595, 2 * 842, QImage::Format_RGB32);
    image.setDotsPerMeterX(5669);
    image.setDotsPerMeterY(5669);
    image.fill(Qt::white);
    QPainter painter(&image);
    app::paint_page(painter, page);
    painter.end();

    const auto [left, right] = dark_span(image, 170, 201);
    EXPECT_NEAR(left, 200, 4);
    EXPECT_NEAR(right, 800, 8); // the glyphs' advance is the model's, whatever the font
    const auto [rule_left, rule_right] = dark_span(image, 598, 603);
    EXPECT_NEAR(rule_left, 100, 1);
    EXPECT_NEAR(rule_right, 1000, 1);
    EXPECT_EQ(dark_span(image, 210, 370).second, -1); // nothing between the lines
    EXPECT_EQ(dark_span(image, 410, 590).second, -1);
    EXPECT_GE(dark_span(image, 370, 401).second, 300); // the bold line is drawn
}

// A QPrinter writing a PDF file: the printer of the dialog's "print to a file".
struct PdfPrinter {
    QPrinter printer{QPrinter::HighResolution};
    explicit PdfPrinter(const std::filesystem::path& file) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
    }
};

TEST(QtPrinting, PagesPrintedToAFileAreOneA4SheetEachWithTheirTexts) {
    marivent::testing::TempRoot root;
    std::string bytes = "Heure        Position        Vi. Cap  Vers\r\n\r\n07/12/2026\r\n";
    for (int k = 0; k < 100; ++k)
        bytes += "13:" + std::string(k % 60 < 10 ? "0" : "") + integer_text(k % 60) +
                 " N4752.2720 W00355.0140  5,2 54  GLENAN \r\n";
    bytes += "14:00 Remarque : moteur coup\xE9\r\n";
    const journal::Pages pages =
        journal::journal_pages(journal::read_journal(bytes, {0, journal::default_date_formats()}),
                               {"journal.txt", "journal.sceau", {}});
    ASSERT_EQ(pages.pages.size(), 2u);
    PdfPrinter pdf(root / "journal.pdf");
    ASSERT_TRUE(app::print_pages(pdf.printer, pages, 1, 2));
    const std::string written = read_bytes(root / "journal.pdf");
    ASSERT_EQ(written.substr(0, 5), "%PDF-");
    std::size_t sheets = 0;
    for (std::size_t at = written.find("/Type /Page\n"); at != std::string::npos;
         at = written.find("/Type /Page\n", at + 1))
        ++sheets;
    EXPECT_EQ(sheets, 2u);
    // A4, Qt writing its numbers with six decimals.
    EXPECT_NE(written.find("/MediaBox [0 0 595.000000 842.000000]"), std::string::npos)
        << written.substr(written.find("/MediaBox"), 40);
#ifndef _WIN32
    // Read back as text where poppler is (scripts/install-deps.sh installs it).
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext is missing (poppler-utils)";
    QProcess run;
    run.start(pdftotext, {"-layout", QString::fromStdString((root / "journal.pdf").string()), "-"});
    ASSERT_TRUE(run.waitForFinished(10000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    for (const char* expected :
         {"page 1 / 2", "page 2 / 2", "Journal de bord — journal.txt", "moteur coupé",
          "4 07/12/2026 13:00 47°52,272' N 003°55,014' W", "103 07/12/2026 13:39"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
#endif

    // A printer that cannot be opened (a file in a folder that does not exist): said in French.
    PdfPrinter nowhere(root / "absent" / "journal.pdf");
    const Status refused = app::print_pages(nowhere.printer, pages, 1, 2);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.why(), "l'imprimante choisie ne peut pas être ouverte");
}

} // namespace
