// A label of one line whose text the program writes at run time (counts, device names, folders):
// drawn within the room its parent gives it, cut with "…" when too long, the whole text then
// its tooltip. It never asks its layout for more width, so a long text cannot widen the window.
#pragma once
#include <QLabel>

namespace marivent::app {

class FitLabel : public QLabel {
    Q_OBJECT
  public:
    explicit FitLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    explicit FitLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as last drawn: on one line (line breaks as separators), cut to the room.
    const QString& drawn() const { return drawn_; }
    // The rectangle the text is drawn in: the contents, less what lies outside the parent.
    QRect room() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString one_line() const;
    QString drawn_;
};

} // namespace marivent::app
