// Journal > Imprimer: the journal's pages handed to the printer seam, by the keyboard as a user
// does, and what the printer answers; the pages drawn by the Qt renderer on an image and on a
// printer writing a PDF file.
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
#include "journ.h"
#include "journal/journal_pages.h"
#include "printer.h"
#include "qt_printer.h"
#include "window_support.h"

namespace {

using namespace marivent;
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

// Two entries, a remark and a note typed in an editor, the clock 1 h ahead of UTC.
const std::string journal = std::string(journal::header_line) +
                            "\r\n\r\n07/12/2026\r\n"
                            "13:30 N4752.2720 W00355.0140  5,2 54  GLENAN \r\n"
                            "13:40 Remarque : deux ris, moteur coup\xE9\r\n"
                            "Escale \xE0 Groix\r\n"
                            "23:30 N4740.5000 W00350.2500  6, 180  GLENAN \r\n";

std::string text_of(const journal::Pages& pages) {
    std::string out;
    for (const journal::Page& p : pages.pages)
        for (const journal::PageText& t : p.texts)
            out += t.text + "\n";
    return out;
}

struct PrintTest : marivent::testing::WindowFixture {
    RecordingPrinter recording;
    PrintTest() { printer = &recording; }
};

TEST_F(PrintTest, AltJIPrintsTheJournalsPagesAndWritesNothing) {
    write_bytes(root / "journal.txt", journal);
    auto w = open();
    w->prefs.decalage = "1";
    // Alt+J, I as a user types them; no other entry of the menu has I for its key.
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(w.get(), Qt::Key_J, Qt::AltModifier);
    QMenu* menu = w->findChild<QMenu*>("mnujournal");
    ASSERT_TRUE(wait_for([&] { return menu->isVisible(); }));
    QString keys;
    for (const QAction* a : menu->actions()) {
        const QChar key = a->text().at(a->text().indexOf('&') + 1).toLower();
        EXPECT_FALSE(keys.contains(key)) << a->text().toStdString();
        keys += key;
    }
    QTest::keyClick(menu, Qt::Key_I);
    ASSERT_TRUE(wait_for([&] { return !recording.printed.empty(); }));
    ASSERT_EQ(recording.printed.size(), 1u);
    const std::string text = text_of(recording.printed[0]);
    for (const std::string& expected : std::vector<std::string>{
             "page 1 / 1", "     4", "13:30",
             "47\xB0"
             "52,272' N 003\xB0"
             "55,014' W",
             "deux ris, moteur coup\xE9", "Escale \xE0 Groix", "     7",
             // 23:30 UTC was 00:30 local: its UTC day is the one before the date line's.
             "P\xE9riode : du 06/12/2026 au 07/12/2026 (dates UTC).",
             // The journal begun without its seal: the window starts a chain after its lines.
             utf8_to_cp1252("Sceau : intact, lignes non scellées.")})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(w->findChild<QLabel*>("note")->text(), "Journal imprimé (1 page).");
    EXPECT_EQ(read_bytes(root / "journal.txt"), journal);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintTest, ACancelledFailedOrImpossiblePrintIsSaidInFrench) {
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

    // A journal gone: said, nothing printed, nothing created.
    std::filesystem::remove(root / "journal.txt");
    w->menu("mnujourimprimer")->trigger();
    EXPECT_EQ(recording.printed.size(), 2u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].text.find("ne peut pas être imprimé"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(root / "journal.txt"));
}

// The columns holding a dark pixel between two rows of an image.
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
    // 50 glyphs of 10 points: 300 points wide from 100 points, whatever the font's own advance.
    page.texts.push_back({100, 100, 10, journal::Face::regular, std::string(50, 'M')});
    page.rules.push_back({50, 300, 500, 300, 1});
    QImage image(2 * 595, 2 * 842, QImage::Format_RGB32); // 144 dots per inch: 2 a point
    image.setDotsPerMeterX(5669);
    image.setDotsPerMeterY(5669);
    image.fill(Qt::white);
    QPainter painter(&image);
    app::paint_page(painter, page);
    painter.end();
    const auto [left, right] = dark_span(image, 170, 201);
    EXPECT_NEAR(left, 200, 4);
    EXPECT_NEAR(right, 800, 4);
    EXPECT_EQ(dark_span(image, 210, 590).second, -1);
    const auto [rule_left, rule_right] = dark_span(image, 598, 603);
    EXPECT_NEAR(rule_left, 100, 1);
    EXPECT_NEAR(rule_right, 1000, 1);
}

TEST(QtPrinting, PagesPrintedToAFileAreOneA4SheetEachWithTheirTexts) {
    marivent::testing::TempRoot root;
    std::string bytes = journal;
    for (int k = 0; k < 100; ++k)
        bytes += "14:" + std::to_string(10 + k % 50) + " N4752.2720 W00355.0140  5,2 54  A \r\n";
    const journal::Pages pages =
        journal::journal_pages(journal::read_journal(bytes, {0, journal::default_date_formats()}),
                               {"journal.txt", "journal.sceau", {}});
    ASSERT_EQ(pages.pages.size(), 2u);
    auto printer_to = [](const std::filesystem::path& file) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(file.string()));
        printer->setPageSize(QPageSize(QPageSize::A4));
        printer->setFullPage(true);
        return printer;
    };
    ASSERT_TRUE(app::print_pages(*printer_to(root / "journal.pdf"), pages, 1, 2));
    const std::string pdf = read_bytes(root / "journal.pdf");
    std::size_t sheets = 0;
    for (std::size_t at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1))
        ++sheets;
    EXPECT_EQ(sheets, 2u);
    EXPECT_NE(pdf.find("/MediaBox [0 0 595.000000 842.000000]"), std::string::npos);
#ifndef _WIN32
    // Read back as text by poppler (scripts/install-deps.sh installs it).
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext is missing (poppler-utils)";
    QProcess run;
    run.start(pdftotext, {"-layout", QString::fromStdString((root / "journal.pdf").string()), "-"});
    ASSERT_TRUE(run.waitForFinished(10000));
    const QString text = QString::fromUtf8(run.readAllStandardOutput());
    for (const char* expected :
         {"page 1 / 2", "page 2 / 2", "Journal de bord — journal.txt", "moteur coupé",
          "4 07/12/2026 13:30 47°52,272' N 003°55,014' W", "107 07/12/2026 14:59"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
#endif
    // A printer that cannot be opened (a file in a folder that does not exist): said in French.
    const Status refused = app::print_pages(*printer_to(root / "absent" / "j.pdf"), pages, 1, 2);
    EXPECT_EQ(refused.why(), "l'imprimante choisie ne peut pas être ouverte");
}

} // namespace
