// The transfer commands: "&Ozi vers Cmap", "&Cmap vers Ozi", the panel `Frame1` and the file list
// `File1`, whose click runs the conversion.
#pragma once
#include <QObject>
#include <QString>
#include <filesystem>

#include "panel_host.h"

namespace marivent::app {

class TransferPanel : public QObject {
    Q_OBJECT
  public:
    TransferPanel(QObject* parent, PanelHost host);

    void mnuozicmap_Click();
    void mnulirewpts_Click();
    void ok1_Click();
    void annul_Click();
    void File1_Click(const QString& name);

    const std::filesystem::path& folder() const { return folder_; }
    int ozicm = -1; // the direction of the list shown: 1 Ozi to C-Map, 0 back

  private:
    // Points File1 at a folder and lists its files that match the pattern.
    void list(const std::filesystem::path& folder, const QStringList& patterns, bool no_extension);

    PanelHost w_;
    std::filesystem::path folder_;
    QStringList patterns_;
    bool no_extension_ = false;
};

} // namespace marivent::app
