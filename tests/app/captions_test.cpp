// Every caption of the window's tables fits its box in the window's font and style. The room a
// caption has is its widget's less what the style draws around it: the button frame, the check
// indicator, the group box title's place, the text box frame and margins.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <set>
#include <string_view>

#include "journ.h"
#include "layout.h"
#include "window_look.h"
#include "window_support.h"

namespace {

using namespace marivent;
using marivent::app::Kind;

using CaptionTest = marivent::testing::WindowFixture;

// The pixels a caption needs and the pixels its widget gives it.
struct Room {
    QString text;
    QSize needed;
    QSize available;
    bool fits() const {
        return text.isEmpty() ||
               (needed.width() <= available.width() && needed.height() <= available.height());
    }
};

QSize text_size(const QWidget* w, const QString& text) {
    return w->fontMetrics().size(Qt::TextShowMnemonic, text);
}

Room label_room(const QLabel* label) {
    return {label->text(), label->sizeHint(), label->size()};
}

// The style's contents rectangle: inside the push button's frame, right of the check indicator.
Room button_room(const QAbstractButton* b, QStyle::SubElement contents) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    if (const auto* push = qobject_cast<const QPushButton*>(b)) {
        if (push->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat()) opt.features |= QStyleOptionButton::Flat;
    }
    const QRect r = b->style()->subElementRect(contents, &opt, b);
    return {b->text(), text_size(b, b->text()), r.size()};
}

// The title as the style places it; it fits when it keeps as much room to the frame's right end
// as it has to the left one.
Room group_room(const QGroupBox* box) {
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.textAlignment = box->alignment();
    opt.lineWidth = 1;
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isFlat()) opt.features |= QStyleOptionFrame::Flat;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    return {box->title(), title.size(), QSize(box->width() - 2 * title.left(), box->height())};
}

// The line a text box draws on: its contents (the window's style sheet sets their padding) less
// the text margins and the 2 pixels QLineEdit keeps on each side.
Room text_box_room(const QLineEdit* edit) {
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &opt, edit)
                               .marginsRemoved(edit->textMargins());
    constexpr int line_margin = 2;
    return {edit->text(), edit->fontMetrics().size(0, edit->text()),
            QSize(contents.width() - 2 * line_margin, contents.height())};
}

Room room(QWidget* w, Kind kind) {
    switch (kind) {
    case Kind::Label:
        return label_room(qobject_cast<QLabel*>(w));
    case Kind::Button:
        return button_room(qobject_cast<QPushButton*>(w), QStyle::SE_PushButtonContents);
    case Kind::CheckBox:
        return button_room(qobject_cast<QCheckBox*>(w), QStyle::SE_CheckBoxContents);
    case Kind::OptionButton:
        return button_room(qobject_cast<QRadioButton*>(w), QStyle::SE_RadioButtonContents);
    case Kind::Frame:
        return group_room(qobject_cast<QGroupBox*>(w));
    case Kind::TextBox:
        return text_box_room(qobject_cast<QLineEdit*>(w));
    case Kind::FileList:
    case Kind::ListBox:
        break; // no caption
    }
    return {};
}

std::string describe(const char* name, const Room& r) {
    return std::string(name) + " « " + r.text.toStdString() + " » needs " +
           std::to_string(r.needed.width()) + "×" + std::to_string(r.needed.height()) +
           " px, has " + std::to_string(r.available.width()) + "×" +
           std::to_string(r.available.height());
}

// Text boxes whose first text was wider than the box in the original program too; the box shows
// the text's start until the GPS values overwrite it.
const std::set<std::string_view> wider_than_their_box = {"cap", "vmg"};

// The font comes with the program: both faces load from it, and the window's font is that family
// at 11 pixels, whatever the machine has installed.
TEST_F(CaptionTest, TheWindowsFontComesWithTheProgram) {
    EXPECT_TRUE(app::load_window_font());
    auto w = open();
    const QFontInfo shown(w->font());
    EXPECT_EQ(shown.family(), "Liberation Sans");
    EXPECT_EQ(shown.pixelSize(), 11);
    QFont italic = w->font();
    italic.setItalic(true);
    EXPECT_TRUE(QFontInfo(italic).italic());
}

TEST_F(CaptionTest, EveryCaptionAndFirstTextFitsItsBox) {
    auto w = open();
    // The hidden panels too: shown, their widgets have the window's style sheet applied.
    for (const app::ControlRow& row : app::control_rows())
        w->control(row.name)->show();
    for (const app::ControlRow& row : app::control_rows()) {
        if (wider_than_their_box.count(row.name)) continue;
        QWidget* c = w->control(row.name);
        ASSERT_NE(c, nullptr) << row.name;
        const Room r = room(c, row.kind);
        EXPECT_EQ(r.text, QString::fromUtf8(row.caption)) << row.name;
        EXPECT_TRUE(r.fits()) << describe(row.name, r);
    }
}

TEST_F(CaptionTest, TheMenuBarShowsEveryEntryWithinTheWindow) {
    auto w = open();
    QMenuBar* bar = w->menuBar();
    for (const app::MenuRow& row : app::menu_rows()) {
        if (row.parent || !row.visible) continue;
        const QRect r = bar->actionGeometry(w->menu(row.name));
        EXPECT_FALSE(r.isEmpty()) << row.name;
        EXPECT_LE(r.right(), bar->width() - 1) << row.name << " ends at " << r.right();
    }
}

} // namespace
