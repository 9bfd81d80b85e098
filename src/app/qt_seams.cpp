#include "qt_seams.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
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

QPlainTextEdit* QtTextViewer::view(const QString& name) {
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
    return static_cast<QPlainTextEdit*>(w);
}

namespace {

void show_at_end(QPlainTextEdit* view) {
    view->moveCursor(QTextCursor::End); // the journal's last entry in sight
    view->show();
    view->raise();
    view->activateWindow();
}

} // namespace

void QtTextViewer::show_text(std::string_view title, std::string_view text) {
    QPlainTextEdit* v = view(from_utf8(title));
    QString shown = from_cp1252(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    v->setPlainText(shown);
    show_at_end(v);
}

void QtTextViewer::show_journal(std::string_view title, std::string_view head,
                                std::string_view journal, const std::vector<StruckLine>& struck) {
    QPlainTextEdit* v = view(from_utf8(title));
    // The journal's lines as the seal and the readers count them: cut at LF, a CR before it
    // dropped, a last line without LF kept.
    QStringList lines = from_cp1252(journal).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    const int width = static_cast<int>(QString::number(lines.size()).size());
    QString text = from_cp1252(head);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!text.isEmpty()) text += QLatin1Char('\n');
    const int first_block = static_cast<int>(text.count(QLatin1Char('\n')));
    std::size_t next_struck = 0;
    std::vector<std::pair<int, int>> strikes; // block and length of the struck text
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        // A CR left inside a line by an editor would start a new block of the view: the numbers
        // and the struck lines would then stand one block off.
        line.replace(QLatin1Char('\r'), QLatin1Char(' '));
        const long long number = i + 1;
        text += QString::number(number).rightJustified(width) + QLatin1String("  ") + line;
        while (next_struck < struck.size() && struck[next_struck].number < number)
            ++next_struck;
        if (next_struck < struck.size() && struck[next_struck].number == number) {
            strikes.push_back({first_block + static_cast<int>(i), static_cast<int>(line.size())});
            text += QLatin1String("  ") + from_cp1252(struck[next_struck].beside);
        }
        text += QLatin1Char('\n');
    }
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    v->setPlainText(text);
    QTextCharFormat strike;
    strike.setFontStrikeOut(true);
    for (const auto& [block, length] : strikes) {
        QTextCursor c(v->document()->findBlockByNumber(block));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, width + 2);
        c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, length);
        c.mergeCharFormat(strike);
    }
    show_at_end(v);
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
