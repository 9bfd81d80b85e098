// The autopilot's line of the preferences panel: what goes to the pilot, true or magnetic
// bearings, the variation for when the GPS gives none, and the talker of what is sent.
#pragma once
#include <QObject>

#include "panel_host.h"
#include "prefs/settings_file.h"

class QComboBox;
class QLineEdit;

namespace marivent::app {

class PilotPrefs : public QObject {
    Q_OBJECT
  public:
    PilotPrefs(QObject* parent, PanelHost host);

    // The panel shown: the choice in force.
    void show(const prefs::PilotRecords& words);
    // The variation and the talker as typed become the choice once checked; a refused text is
    // said and the box shows the value kept. False when one was refused.
    bool keep_typed();
    // The choice as made in the panel, each value checked.
    prefs::PilotRecords chosen() const;

  private:
    PanelHost w_;
    QComboBox* pilote;
    QComboBox* relevement;
    QLineEdit* declinaison;
    QLineEdit* emetteur;
    prefs::PilotRecords kept_; // the variation and talker last kept
};

} // namespace marivent::app
