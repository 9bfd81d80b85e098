// The boxes catch up once a frame: what they hold changes at once, what they show at the next
// frame, each box once with its last text; the autopilot sentence never waits for the frame; a
// window with nothing arriving wakes nobody.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "common/cp1252.h"
#include "journ.h"
#include "scripted_serial.h"
#include "window_look.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Journ;
using marivent::testing::frame_shown;
using marivent::testing::ScriptedSerial;
using marivent::testing::wait_for;

QString shown(const Journ& w, const char* box) {
    return qobject_cast<QLineEdit*>(w.control(box))->text();
}

// Counts the events of one type an object receives.
class Counter : public QObject {
  public:
    Counter(QObject* watched, QEvent::Type type) : type_(type) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type_) ++count;
        return false;
    }
    int count = 0;

  private:
    QEvent::Type type_;
};

// Runs the event loop for `ms` milliseconds.
void run_for(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct FrameTest : marivent::testing::WindowFixture {
    ScriptedSerial::State dev;
    std::unique_ptr<Journ> open_scripted() {
        auto w = open({std::make_unique<ScriptedSerial>(dev), {"/dev/gps", "", "", ""}});
        w->menu("mnugpsdeb")->trigger();
        frame_shown(*w);
        run_for(50); // the first paint
        return w;
    }
    // One read of the device, then the event loop as it runs between two reads.
    void arrive(Journ& w, const std::string& data) {
        dev.reads.push_back({data, {}, false, "", {}});
        w.MSComm1.readable();
        QCoreApplication::processEvents();
    }
};

const std::string rmb = "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20";
const std::string apa = "$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n";

std::string gga(int i) {
    const std::string body = "GPGGA,103016,4512." + std::to_string(100 + i) + ",N,00512." +
                             std::to_string(500 + i) + ",E,1,08,0.9,545.4,M,46.9,M,,";
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    static const char hex[] = "0123456789ABCDEF";
    return "$" + body + "*" + hex[sum >> 4] + hex[sum & 15];
}

TEST_F(FrameTest, EveryBoxShowsTheLastTextItWasGivenOneFrameLater) {
    auto w = open();
    const Box boxes[] = {Box::vi,   Box::cap,  Box::Wpt1, Box::wcap,   Box::wdist, Box::vmg,
                         Box::heur, Box::wpt2, Box::lat,  Box::longit, Box::Text2};
    for (const Box b : boxes) {
        const std::string box(box_name(b));
        const QString before = shown(*w, box.c_str());
        for (const std::string v : {"1", "\n22,5", "last \xE9"})
            w->set_text(b, box + v);
        EXPECT_EQ(w->text(b), box + "last \xE9") << box;  // held at once
        EXPECT_EQ(shown(*w, box.c_str()), before) << box; // shown at the frame
    }
    EXPECT_TRUE(w->display_frame.isActive());
    EXPECT_LE(w->display_frame.interval(), 42); // a frame of a screen of 24 Hz or more
    ASSERT_TRUE(frame_shown(*w));
    for (const Box b : boxes) {
        const std::string box(box_name(b));
        EXPECT_EQ(shown(*w, box.c_str()), QString::fromStdString(box) + "last é") << box;
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(w->control("Text2"))->cursorPosition(), 0);
    // Nothing new: no frame.
    w->set_text(Box::lat, "latlast \xE9");
    EXPECT_FALSE(w->display_frame.isActive());
}

TEST_F(FrameTest, ABurstOfLinesBetweenTwoFramesIsDrawnOnceWithTheLastLine) {
    auto w = open_scripted();
    w->display_frame.setInterval(1000); // the whole burst well inside one frame
    arrive(*w, "\r\n" + rmb + "\r\n");
    ASSERT_TRUE(frame_shown(*w));
    run_for(30);
    Counter paints(w->control("Text2"), QEvent::Paint);
    for (int i = 0; i < 10; ++i)
        arrive(*w, gga(i) + "\r\n");
    EXPECT_EQ(w->text(Box::Text2), "\n" + gga(9)); // the window's values follow every line
    EXPECT_EQ(w->text(Box::lat), "4512.109");
    EXPECT_EQ(paints.count, 0);
    ASSERT_TRUE(frame_shown(*w));
    run_for(30);
    EXPECT_EQ(paints.count, 1);
    EXPECT_EQ(shown(*w, "Text2"), QString::fromStdString(gga(9)));
    EXPECT_EQ(shown(*w, "lat"), "4512.109");
    EXPECT_EQ(shown(*w, "longit"), "00512.509");
    EXPECT_EQ(dev.written.size(), 11 * apa.size()); // every sound line was answered
}

TEST_F(FrameTest, TheAutopilotSentenceLeavesWithItsLineNotWithTheFrame) {
    auto w = open_scripted();
    w->display_frame.setInterval(1000);
    arrive(*w, "\r\n" + rmb);
    dev.written.clear();
    const QString before = shown(*w, "wpt2");
    dev.reads.push_back({"\r\n", {}, false, "", {}});
    w->MSComm1.readable(); // the carriage return
    EXPECT_EQ(dev.written, apa);
    EXPECT_EQ(w->text(Box::wpt2), "004");
    EXPECT_TRUE(w->display_frame.isActive());
    EXPECT_EQ(shown(*w, "wpt2"), before);
    ASSERT_TRUE(frame_shown(*w));
    EXPECT_EQ(shown(*w, "wpt2"), "004");
    EXPECT_NE(w->control("vi")->styleSheet().indexOf("128, 255, 128"), -1); // the route is valid
}

TEST_F(FrameTest, WhatTheUserTypesIsNotOverwrittenByAChangeNotYetShown) {
    auto w = open();
    w->set_text(Box::vi, "7,5");
    auto* vi = qobject_cast<QLineEdit*>(w->control("vi"));
    vi->setFocus();
    vi->selectAll();
    QTest::keyClicks(vi, "6,1");
    ASSERT_TRUE(frame_shown(*w));
    EXPECT_EQ(vi->text(), "6,1");
    EXPECT_EQ(w->text(Box::vi), "6,1"); // what the journal will write
    EXPECT_EQ(vi->cursorPosition(), 3);
}

TEST_F(FrameTest, NothingArrivingWakesNobodyAndTheStatusLineTicksAgainWithALine) {
    marivent::testing::GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto w = open_linked(gps);
    ASSERT_TRUE(w->MSComm1.PortOpen());
    run_for(300); // the window drawn, the link's first text shown
    Counter timers(qApp, QEvent::Timer);
    Counter paints(w.get(), QEvent::UpdateRequest);
    run_for(2500);
    EXPECT_EQ(timers.count, 0); // the journal's minute is the only timer left, and it is far
    EXPECT_EQ(paints.count, 0);

    // A line: counted in the status line within a second, which ticks from then on.
    auto* status = w->findChild<QLabel*>("statut");
    ASSERT_TRUE(gps.send("\r\n" + rmb + "\r\n"));
    ASSERT_TRUE(wait_for([&] { return status->text().contains("2 lignes reçues"); }))
        << status->text().toStdString();
    EXPECT_TRUE(status->text().contains("au pilote à 14:35:00")) << status->text().toStdString();
    const int before = timers.count;
    run_for(2100);
    EXPECT_GE(timers.count - before, 2);

    // Closed: nobody again.
    w->menu("mnugpsfin")->trigger();
    run_for(100);
    const int closed = timers.count;
    run_for(1500);
    EXPECT_EQ(timers.count, closed);
    EXPECT_EQ(status->text(), "Liaison fermée");
}

TEST_F(FrameTest, TheStatusLineIsDrawnOnceForEachChange) {
    marivent::testing::GpsSide gps;
    ASSERT_FALSE(gps.device.empty());
    auto w = open_linked(gps);
    run_for(300); // the window drawn, the link's first text shown
    auto* status = w->findChild<QLabel*>("statut");
    Counter paints(status, QEvent::Paint);
    QString last = status->text();
    int changes = 0;
    ASSERT_TRUE(gps.send("\r\n" + rmb + "\r\n"));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (status->text() != last) {
            last = status->text();
            ++changes;
        }
    }
    run_for(50);
    EXPECT_GE(changes, 1);
    EXPECT_EQ(paints.count, changes); // not once before the status bar's layout settles, and again
}

// What the window's backing store holds, that is what the screen shows, and a drawing of the
// window from scratch.
QImage on_screen(QWidget& w) {
    return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}
QImage drawn_afresh(QWidget& w) {
    app::copy_frames_back = false;
    const QImage drawn = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    app::copy_frames_back = true;
    return drawn;
}

TEST_F(FrameTest, FramesCopiedBackAreTheBytesADrawingFromScratchGives) {
    auto w = open_scripted();
    arrive(*w, "\r\n" + rmb + "\r\n");
    auto frames = [&](int from) {
        for (int i = from; i < from + 4; ++i) {
            arrive(*w, gga(i) + "\r\n");
            ASSERT_TRUE(frame_shown(*w));
            run_for(20);
        }
    };
    const long copied = app::frames_copied;
    frames(0);
    EXPECT_GT(app::frames_copied, copied); // Text2, lat and longit, drawn again and again
    EXPECT_EQ(on_screen(*w), drawn_afresh(*w));

    // A box with the focus has another frame; the speed box another colour.
    w->control("lat")->setFocus();
    frames(10);
    EXPECT_EQ(on_screen(*w), drawn_afresh(*w));
    arrive(*w, "$GPRMB,V,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*37\r\n");
    ASSERT_TRUE(frame_shown(*w));
    run_for(20);
    EXPECT_NE(w->control("vi")->styleSheet().indexOf("rgb(255, 0, 0)"), -1);
    EXPECT_EQ(on_screen(*w), drawn_afresh(*w));

    // Another colour beneath the boxes, as the simulator gives the panel.
    w->control("navigation")
        ->setStyleSheet("QGroupBox#navigation { background-color: rgb(8, 0, 0); }");
    frames(20);
    EXPECT_EQ(on_screen(*w), drawn_afresh(*w));
    w->control("navigation")->setStyleSheet(QString());
    frames(30);
    EXPECT_EQ(on_screen(*w), drawn_afresh(*w));

    // The panel drawn again behind one box, then behind another, then both.
    for (const char* boxes : {"lat", "longit", "lat longit", "longit"}) {
        for (int i = 0; i < 3; ++i) {
            for (const Box box : {Box::lat, Box::longit})
                if (std::string_view(boxes).find(box_name(box)) != std::string_view::npos)
                    w->set_text(box, std::string(box_name(box)) + std::to_string(i));
            ASSERT_TRUE(frame_shown(*w));
            run_for(20);
        }
        EXPECT_EQ(on_screen(*w), drawn_afresh(*w)) << boxes;
    }
}

} // namespace
