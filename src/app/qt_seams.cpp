#include "qt_seams.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <ctime>

#include "common/cp1252.h"

namespace marivent::app {

QString from_cp1252(std::string_view bytes) {
    return QString::fromStdU32String(cp1252_decode(bytes));
}

std::string to_cp1252(const QString& text) {
    return cp1252_encode(text.toStdU32String());
}

QString from_utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QtRegionalSettings::QtRegionalSettings(const QLocale& locale)
    : locale_(locale.language() == QLocale::C ? QLocale(QLocale::French, QLocale::France)
                                              : locale) {
    format_ = locale_.dateFormat(QLocale::ShortFormat);
    if (!format_.contains(QLatin1String("yyyy")))
        format_.replace(QLatin1String("yy"), QLatin1String("yyyy"));
}

std::string QtRegionalSettings::short_date(const Date& d) const {
    return to_cp1252(locale_.toString(QDate(d.year, d.month, d.day), format_));
}

std::optional<Date> QtRegionalSettings::parse_short_date(std::string_view text) const {
    const QString t = from_cp1252(text).trimmed();
    // Day and month are read with or without their leading zero.
    QString lenient = format_;
    lenient.replace(QLatin1String("dd"), QLatin1String("d"))
        .replace(QLatin1String("MM"), QLatin1String("M"));
    for (const QString& f : {format_, lenient}) {
        const QDate date = locale_.toDate(t, f);
        if (date.isValid()) return Date{date.year(), date.month(), date.day()};
    }
    return std::nullopt;
}

static char decimal_separator_of(const QLocale& locale) {
    const std::string s = to_cp1252(locale.decimalPoint());
    return s.size() == 1 ? s[0] : '.';
}

char QtRegionalSettings::decimal_separator() const {
    return decimal_separator_of(locale_);
}

void QtDialogs::message(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon, from_utf8(title), from_utf8(text), QMessageBox::Ok,
                    parent_);
    box.exec();
}

bool QtDialogs::ask_yes_no(std::string_view text, std::string_view title, std::string_view detail) {
    QMessageBox box(QMessageBox::NoIcon, from_utf8(title), from_utf8(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    if (!detail.empty()) box.setInformativeText(from_utf8(detail));
    // In French whatever translations the system has (access keys O and N).
    box.button(QMessageBox::Yes)->setText("&Oui");
    box.button(QMessageBox::No)->setText("&Non");
    return box.exec() == QMessageBox::Yes;
}

QtTextViewer::~QtTextViewer() {
    for (auto& [title, w] : windows_)
        delete w;
}

void QtTextViewer::show_text(std::string_view title, std::string_view text) {
    const QString name = from_utf8(title);
    QWidget*& w = windows_[name];
    if (!w) {
        auto* view = new QPlainTextEdit;
        view->setWindowTitle(name);
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        view->setTabStopDistance(8 * view->fontMetrics().horizontalAdvance(' '));
        view->resize(640, 480);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), view);
        QObject::connect(close, &QShortcut::activated, view, &QWidget::close);
        w = view;
    }
    auto* view = static_cast<QPlainTextEdit*>(w);
    QString shown = from_cp1252(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    view->setPlainText(shown);
    view->moveCursor(QTextCursor::End); // the journal's last entry in sight
    view->show();
    view->raise();
    view->activateWindow();
}

QWidget* QtTextViewer::window(const QString& title) const {
    const auto it = windows_.find(title);
    return it == windows_.end() ? nullptr : it->second;
}

LocalDateTime SystemClock::now() const {
    timespec utc{};
    ::clock_gettime(CLOCK_REALTIME, &utc);
    if (known_ && utc.tv_sec == second_) return local_;
    const QDateTime t = QDateTime::fromSecsSinceEpoch(utc.tv_sec, Qt::LocalTime);
    const QDate d = t.date();
    const QTime h = t.time();
    local_ = {{d.year(), d.month(), d.day()}, h.hour(), h.minute(), h.second()};
    second_ = utc.tv_sec;
    known_ = true;
    return local_;
}

} // namespace marivent::app
