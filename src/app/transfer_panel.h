// The transfer commands: "&Ozi vers Cmap", "&Cmap vers Ozi", the panel `Frame1` and the file list
// `File1`, whose click runs the conversion.
#pragma once
#include <QObject>
#include <QString>
#include <filesystem>

namespace marivent::app {

class Journ;

class TransferPanel : public QObject {
    Q_OBJECT
  public:
    explicit TransferPanel(Journ& window);

    void mnuozicmap_Click();
    void mnulirewpts_Click();
    void ok1_Click();
    void annul_Click();
    void File1_Click(const QString& name);

    const std::filesystem::path& folder() const { return folder_; }

  private:
    // Points File1 at a folder and lists its files that match the pattern.
    void list(const std::filesystem::path& folder, const QStringList& patterns, bool no_extension);

    Journ& w_;
    std::filesystem::path folder_;
    QStringList patterns_;
    bool no_extension_ = false;
};

} // namespace marivent::app
