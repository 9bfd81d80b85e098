// The demonstration GPS: a recording played at its pace into a pseudo-terminal that the four
// port numbers stand for, so the window can be tried without a receiver (demo_gps_pty.cpp). On
// Windows, which has no pseudo-terminal, it is a TCP server on loopback the four ports name as
// "tcp://127.0.0.1:PORT", and the window reads it through its network device (demo_gps_win32.cpp).
#pragma once
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;

namespace marivent::app {

class DemoGps : public QObject {
    Q_OBJECT
  public:
    // Reads the recording and opens the pseudo-terminal (the server); `error` says why when it
    // cannot.
    DemoGps(const std::string& recording, QObject* parent = nullptr);
    ~DemoGps() override;
    bool ok() const { return running_ && !seconds_.empty(); }
    const std::string& error() const { return error_; }
    // The device the window opens.
    const std::string& device() const { return device_; }

  private:
    void start(); // the system's side: the terminal or the server, and the timer
    void tick();
    void read_back();
    // Prints each autopilot sentence the window sent, once whole.
    void heard(std::string_view bytes);

    std::vector<std::string> seconds_; // the sentences of each second, CR LF included
    std::size_t next_ = 0;
    bool running_ = false;
#ifdef Q_OS_WIN
    std::uintptr_t listener_ = ~std::uintptr_t{0}; // SOCKET
    std::vector<std::uintptr_t> clients_;          // the window's connections
#else
    int master_ = -1;
    int slave_ = -1; // kept open so the terminal stays up between the window's openings
    QSocketNotifier* readable_ = nullptr;
#endif
    std::string device_;
    std::string error_;
    std::string from_window_;
    QTimer timer_;
};

// The chart folders of the default settings (ROOT/oziexplorer/data and
// ROOT/Program Files/cmapecs/routes; on Windows C:\oziexplorer\data and
// C:\Program Files\cmapecs\routes), created when missing so Transfert works at once in the
// demonstration; `route`, an OziExplorer route, is put in the first when it holds no route yet.
// Returns what it created, copied or could not create, for the terminal.
std::vector<std::string> prepare_demo_folders(const std::filesystem::path& root,
                                              const std::filesystem::path& route);

} // namespace marivent::app
