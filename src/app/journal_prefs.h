// The journal's line of the preferences panel: an entry when the course over ground changes by
// more than an angle for two minutes (journal/journal_events.h), 0 for never.
#pragma once
#include <QObject>

#include "panel_host.h"

class QLineEdit;

namespace marivent::app {

class JournalPrefs : public QObject {
    Q_OBJECT
  public:
    JournalPrefs(QObject* parent, PanelHost host);

    // The panel shown: the angle in force.
    void show(int angle);
    // The angle as typed becomes the choice once checked; a refused text is said and the box
    // shows the angle kept. False when refused.
    bool keep_typed();
    int chosen() const { return kept_; }

  private:
    PanelHost w_;
    QLineEdit* anglecap;
    int kept_ = 0;
};

} // namespace marivent::app
