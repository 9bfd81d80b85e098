// The simulator and the SeaTalk capture in the window: their menu handlers, the end button, the
// capture's part of the receive event and the decoding file list. Their menus stay switched off.
#pragma once
#include <QObject>
#include <QTimer>
#include <fstream>
#include <memory>

#include "panel_host.h"
#include "simu/replay.h"

namespace marivent::app {

class Instruments : public QObject {
    Q_OBJECT
  public:
    Instruments(QObject* parent, PanelHost host);

    void mnusimu_Click();
    void simuf_Click();
    void mnuseaouvr_Click();
    void mnuseatferm_Click();
    void mnuseatxt_Click();
    void File2_Click(const QString& name);

    // The capture's part of the receive event, and a parity error seen while capturing.
    void capture();
    void parity_seen() { ++parity_pending_; }

    bool replaying() const { return replay_ && !replay_->done(); }
    bool capturing() const { return capture_file_.is_open(); }
    int seatalk = 0; // 1 while the port is open for a capture

  private:
    void replay_slice();
    bool port_free(const char* what);

    PanelHost w_;
    std::unique_ptr<simu::Replay> replay_;
    QTimer slice_;
    std::ofstream capture_file_; // `fe` during a capture
    int parity_pending_ = 0;
};

} // namespace marivent::app
