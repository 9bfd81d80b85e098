// Through the real window (offscreen) and a pseudo-terminal: the time from the carriage return of
// a sentence written on the GPS side to the last byte of its APA sentence read back, over 1,000
// sentences; then the CPU time the window spends on 60 s of a 1 Hz GPS stream. Figures only.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "cpu_time.h"
#include "journ.h"
#include "qt_seams.h"

using namespace marivent;

namespace {

class SilentDialogs : public Dialogs {
  public:
    void message(std::string_view t, std::string_view) override {
        std::fprintf(stderr, "%.*s\n", int(t.size()), t.data());
    }
    bool ask_yes_no(std::string_view, std::string_view, std::string_view) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    int master = -1, slave = -1;
    char name[256];
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;
    ::close(slave);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char root_template[] = "/tmp/marivent-bench-XXXXXX";
    const std::filesystem::path root = ::mkdtemp(root_template);

    app::QtRegionalSettings regional;
    SilentDialogs dialogs;
    app::SystemClock clock;
    app::Journ w(root, {regional, dialogs, clock}, app::posix_serial({name, "", "", ""}));
    w.show();
    w.mnugpsdeb_Click();
    if (!w.MSComm1.PortOpen()) return 1;

    const std::string rmb = "$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20";
    const std::string warmup = "\r\n" + rmb + "\r\n";
    (void)!::write(master, warmup.data(), warmup.size());
    auto drain = [&](std::size_t want, std::string& got) {
        char buf[512];
        QElapsedTimer limit;
        limit.start();
        while (got.size() < want) {
            if (limit.elapsed() > 5000) {
                std::fprintf(stderr, "no autopilot sentence came back\n");
                std::exit(1);
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
    };
    std::string got;
    drain(40, got);

    // Latency: the sentence body goes first (the LF of the previous line is already in the
    // window's line buffer), its CR LF starts the clock.
    std::vector<double> micros;
    const std::string body = rmb;
    for (int i = 0; i < 1000; ++i) {
        (void)!::write(master, body.data(), body.size());
        for (int k = 0; k < 20; ++k)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        got.clear();
        const auto t0 = std::chrono::steady_clock::now();
        (void)!::write(master, "\r\n", 2);
        drain(40, got);
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf(
        "CR to last APA byte over 1000 sentences: median %.0f us, 99th percentile %.0f us\n",
        micros[500], micros[989]);
    std::fflush(stdout);

    // CPU over a 1 Hz stream of GGA, RMC and RMB.
    const int seconds = quick ? 5 : 60;
    const std::string group =
        "$GPGGA,093000.00,4751.599,N,00354.902,W,1,08,0.9,3.2,M,51.0,M,,*7B\r\n"
        "$GPRMC,093000.00,A,4751.599,N,00354.902,W,6.2,217.1,070626,2.1,W*5E\r\n" +
        rmb + "\r\n";
    QTimer feed;
    int sent = 0;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        (void)!::write(master, group.data(), group.size());
        char buf[4096];
        while (::read(master, buf, sizeof buf) > 0) {
        }
        if (++sent == seconds) app.quit();
    });
    const double cpu0 = cpu_seconds();
    feed.start(1000);
    app.exec();
    std::printf("CPU over %d s of a 1 Hz stream (window and feeder together): %.3f s\n", seconds,
                cpu_seconds() - cpu0);
    std::filesystem::remove_all(root);
    return 0;
}
