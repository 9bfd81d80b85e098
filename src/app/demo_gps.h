// The demonstration GPS: a recording played at its pace into a pseudo-terminal that the four
// port numbers stand for, so the window can be tried without a receiver.
#pragma once
#include <QObject>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

class QSocketNotifier;

namespace marivent::app {

class DemoGps : public QObject {
    Q_OBJECT
  public:
    // Reads the recording and opens the pseudo-terminal; `error` says why when it cannot.
    DemoGps(const std::string& recording, QObject* parent = nullptr);
    ~DemoGps() override;
    bool ok() const { return master_ >= 0 && !seconds_.empty(); }
    const std::string& error() const { return error_; }
    // The device the window opens.
    const std::string& device() const { return device_; }

  private:
    void tick();
    void read_back();

    std::vector<std::string> seconds_; // the sentences of each second, CR LF included
    std::size_t next_ = 0;
    int master_ = -1;
    int slave_ = -1; // kept open so the terminal stays up between the window's openings
    std::string device_;
    std::string error_;
    std::string from_window_;
    QTimer timer_;
    QSocketNotifier* readable_ = nullptr;
};

// The chart folders of the default settings under ROOT (ROOT/oziexplorer/data and
// ROOT/Program Files/cmapecs/routes), created when missing so Transfert works at once in the
// demonstration; `route`, an OziExplorer route, is put in the first when it holds no route yet.
// Returns what it created or copied, for the terminal.
std::vector<std::string> prepare_demo_folders(const std::filesystem::path& root,
                                              const std::filesystem::path& route);

} // namespace marivent::app
