// The platform services of the core, implemented with Qt.
#pragma once
#include <QLocale>
#include <QString>
#include <map>

#include "common/seams.h"

class QPlainTextEdit;
class QWidget;

namespace marivent::app {

// The regional settings of the system. A system without any (the "C" locale) gets the French
// ones, the language of the program. A short date format with a two-digit year gets four digits:
// a logbook is kept for longer than a century's two digits can tell apart.
class QtRegionalSettings : public RegionalSettings {
  public:
    explicit QtRegionalSettings(const QLocale& locale = QLocale::system());
    std::string short_date(const Date& d) const override;
    std::optional<Date> parse_short_date(std::string_view text) const override;
    char decimal_separator() const override;
    const QString& date_format() const { return format_; }

  private:
    QLocale locale_;
    QString format_;
};

// Message boxes with a title, over the window.
class QtDialogs : public Dialogs {
  public:
    void set_parent(QWidget* parent) { parent_ = parent; }
    void message(std::string_view text, std::string_view title) override;
    bool ask_yes_no(std::string_view text, std::string_view title,
                    std::string_view detail) override;

  private:
    QWidget* parent_ = nullptr;
};

// Read-only text windows of the program's own, one per title, shown beside the main window and
// left open while the user goes on.
class QtTextViewer : public TextViewer {
  public:
    ~QtTextViewer() override;
    void show_text(std::string_view title, std::string_view text) override;
    // Numbered lines, the struck ones with a line through their text and their corrections after.
    void show_journal(std::string_view title, std::string_view head, std::string_view journal,
                      const std::vector<StruckLine>& struck) override;
    QWidget* window(const QString& title) const;

  private:
    QPlainTextEdit* view(const QString& title);
    std::map<QString, QWidget*> windows_;
};

// The computer's local time. The zone is looked up (the C library reads /etc/localtime again)
// once for each new second only, not for every line of a 10 Hz GPS; a change of zone shows from
// the next second. For one thread.
class SystemClock : public Clock {
  public:
    LocalDateTime now() const override;

  private:
    mutable long long second_ = 0; // the second of the epoch `local_` is for
    mutable bool known_ = false;
    mutable LocalDateTime local_{};
};

// Windows-1252 bytes to and from the widgets' text.
QString from_cp1252(std::string_view bytes);
std::string to_cp1252(const QString& text);
QString from_utf8(std::string_view text);

} // namespace marivent::app
