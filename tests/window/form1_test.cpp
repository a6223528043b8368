#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QStyleOptionFrame>

#include "calc/codes.h"

#include "form1_fixture.h"

namespace {

const QStringList placeholders = {"****", "******", "******", "****", "******", "******"};

TEST_F(Form1Test, StartsWithItsFixedContent) {
    EXPECT_EQ(form->windowTitle(), "DIDORE/U FREQUENCY CODE EDIT BY ORLISK");
    EXPECT_EQ(form->size(), QSize(426, 292));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());

    const struct {
        const char* name;
        const char* kind;
        QRect twips;  // left, top, width, height
        QString text;
    } controls[] = {
        {"Label3", "QLabel", {240, 3600, 495, 255}, "step"},
        {"Command2", "QPushButton", {1320, 3600, 855, 255}, "send"},
        {"Text18", "QLineEdit", {2280, 3585, 855, 270}, "430000"},
        {"Label1", "QLabel", {3240, 3600, 375, 255}, "kHz"},
        {"Command1", "QPushButton", {3840, 3600, 855, 255}, "receive"},
        {"Text17", "QLineEdit", {4800, 3600, 855, 270}, "430000"},
        {"Label2", "QLabel", {5760, 3600, 375, 255}, "kHz"},
        {"Combo1", "QComboBox", {120, 3960, 1095, 300}, "5kHz"},
        {"Text1", "QLineEdit", {1320, 3960, 615, 270}, "****"},
        {"Text2", "QLineEdit", {2040, 3960, 855, 270}, "******"},
        {"Text3", "QLineEdit", {3000, 3960, 735, 270}, "******"},
        {"Text9", "QLineEdit", {3840, 3960, 615, 270}, "****"},
        {"Text10", "QLineEdit", {4560, 3960, 855, 270}, "******"},
        {"Text11", "QLineEdit", {5520, 3960, 735, 270}, "******"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        const QWidget* widget = get<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), c.kind);
        const QRect& t = c.twips;
        EXPECT_EQ(widget->geometry(), QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15));
        if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            EXPECT_EQ(edit->text(), c.text);
            const bool entry = c.text == "430000";
            EXPECT_EQ(edit->isReadOnly(), !entry);
        } else if (auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_EQ(label->text(), c.text);
        } else if (auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), c.text);
        }
    }
    for (const auto& [name, x] : {std::pair{"Line1", 80}, std::pair{"Line2", 248}}) {
        const QFrame* line = get<QFrame>(name);
        EXPECT_EQ(line->frameShape(), QFrame::VLine) << name;
        EXPECT_EQ(line->geometry().center().x(), x) << name;
        EXPECT_EQ(line->geometry().top(), 240) << name;
        EXPECT_EQ(line->geometry().bottom(), 287) << name;
    }

    EXPECT_TRUE(combo()->isEditable());
    EXPECT_EQ(combo()->currentText(), "5kHz");
    QStringList items;
    for (int i = 0; i < combo()->count(); ++i) items << combo()->itemText(i);
    EXPECT_EQ(items, QStringList({"5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz"}));
}

TEST_F(Form1Test, PictureAndIconAreCompiledIn) {
    EXPECT_EQ(QImage(":/assets/radio.jpg").size(), QSize(429, 226));
    const QImage icon(":/assets/icon.png");
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_LE(icon.colorCount(), 16);
    EXPECT_GT(icon.colorCount(), 0);
    EXPECT_TRUE(form->windowIcon().availableSizes().contains(QSize(32, 32)));

    // The picture is painted unscaled at the top-left corner.
    const QImage shown = form->grab().toImage();
    const QImage picture(":/assets/radio.jpg");
    for (const QPoint p : {QPoint(0, 0), QPoint(200, 100), QPoint(425, 225)})
        EXPECT_EQ(shown.pixel(p), picture.convertToFormat(shown.format()).pixel(p)) << p.x() << "," << p.y();

    // Above scale 1, the finer picture in the same place: at 2, itself.
    for (const qreal scale : {1.25, 1.5, 2.0})
        EXPECT_EQ(Form1::pictureat(scale).deviceIndependentSize().toSize(), QSize(429, 226)) << scale;
    const QImage fine(":/assets/radio-2x.jpg"), two = Form1::pictureat(2).toImage();
    for (const QPoint p : {QPoint(1, 1), QPoint(401, 201), QPoint(857, 451)})
        EXPECT_EQ(two.pixel(p), fine.convertToFormat(two.format()).pixel(p)) << p.x() << "," << p.y();
}

TEST_F(Form1Test, EveryTextFitsItsControl) {
    const auto fits = [](const QLineEdit* edit, const QString& text) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        const QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        const QFontMetrics metrics(edit->font());
        const int horizontalmargin = 2;  // QLineEdit's own inner margin on each side
        return metrics.horizontalAdvance(text) <= room.width() - 2 * horizontalmargin &&
               metrics.tightBoundingRect(text).height() <= room.height();
    };
    // Every text each box can show: all A and B values, the five R codes.
    QStringList acodes, bcodes, rcodes;
    for (int a = 0; a < 64; ++a) acodes << QString::asprintf("%02X", a);
    for (int b = 0; b <= 0x61A; ++b) bcodes << QString::asprintf("%03X", b);
    for (const char* step : {"5kHz", "6.25kHz", "10kHz", "12.5kHz", "25kHz"})
        rcodes << QString::fromStdString(calc::calccodes(calc::Direction::transmit, step, "150000").codes.rcode);
    for (QStringList* hex : {&acodes, &bcodes})
        for (QString& text : *hex) text = QString::fromStdString(calc::strdd(text.toStdString()));
    const std::pair<const char*, const QStringList*> boxes[] = {
        {"Text1", &acodes}, {"Text9", &acodes},  {"Text2", &bcodes},  {"Text10", &bcodes},
        {"Text3", &rcodes}, {"Text11", &rcodes}, {"Text17", nullptr}, {"Text18", nullptr}};
    for (const auto& [name, texts] : boxes) {
        for (const QString& text : texts ? *texts : QStringList({"430000", "430006.25", "499999.75"}))
            EXPECT_TRUE(fits(get<QLineEdit>(name), text)) << name << " " << text.toStdString();
    }
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const QLabel* label = get<QLabel>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    for (const char* name : {"Command1", "Command2"}) {
        const QPushButton* button = get<QPushButton>(name);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width()) << name;
    }
}

TEST_F(Form1Test, ButtonsShowTheirSidesCodes) {
    click("Command1");
    EXPECT_EQ(codes(), QStringList({"****", "******", "******", "F0F1", "FCFFF4", "F6F9F0"}));
    click("Command2");
    EXPECT_EQ(codes(), QStringList({"F0F3", "FFF3F5", "F6F9F0", "F0F1", "FCFFF4", "F6F9F0"}));

    // The codes cannot be typed over, but can be copied to carry them to the radio.
    QLineEdit* abox = get<QLineEdit>("Text9");
    QTest::keyClicks(abox, "x");
    EXPECT_EQ(abox->text(), "F0F1");
    abox->selectAll();
    abox->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "F0F1");

    pick(3);  // 12.5kHz
    EXPECT_EQ(codes(), placeholders);
    type("Text18", "145000");
    click("Command2");
    EXPECT_EQ(codes().mid(0, 3), QStringList({"F0F1", "F5FBF0", "FCF3F0"}));
}

TEST_F(Form1Test, OffStepGivesPlaceholdersOutOfRangeChangesNothing) {
    click("Command1");
    type("Text17", "430002");
    click("Command1");
    EXPECT_EQ(codes(), placeholders);

    for (const QString freq : {"29000", "500000", ""}) {
        SCOPED_TRACE(freq.toStdString());
        type("Text18", "430000");
        click("Command2");
        const QStringList before = codes();
        type("Text18", freq);
        click("Command2");
        EXPECT_EQ(codes(), before);
        pick(0);
        click("Command2");
        EXPECT_EQ(codes(), placeholders);
    }
}

TEST_F(Form1Test, OnlyAPickFromTheListChangesTheStep) {
    form->activateWindow();  // focus moves only in the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    click("Command2");
    const QStringList shown = codes();
    QLineEdit* field = combo()->lineEdit();
    for (const QString typed : {"25kHz", "12", "6.25kHz"}) {
        field->selectAll();
        QTest::keyClicks(field, typed);
        EXPECT_EQ(field->text(), typed) << "no completion";
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(field->text(), "5kHz") << "Enter shows the step in effect again";
        combo()->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        get<QLineEdit>("Text18")->setFocus();  // so does leaving the field
        EXPECT_EQ(field->text(), "5kHz");
        EXPECT_EQ(combo()->count(), 5) << "no item inserted";
        EXPECT_EQ(codes(), shown) << "a typed step resets nothing";
    }
    // Enter on a focused button presses it, as Space does.
    get<QPushButton>("Command2")->setFocus();
    QTest::keyClick(get<QPushButton>("Command2"), Qt::Key_Return);
    EXPECT_EQ(text("Text3"), "F6F9F0") << "still 5 kHz";

    // Arrow keys on the closed selector pick the neighbouring item.
    combo()->setFocus();
    QTest::keyClick(combo(), Qt::Key_Down);
    EXPECT_EQ(codes(), placeholders);
    click("Command2");
    EXPECT_EQ(text("Text3"), "F8F7F0") << "6.25 kHz";

    // So does a mouse click in the open list.
    combo()->showPopup();
    QTest::qWait(QApplication::doubleClickInterval() + 50);  // the list ignores a release right after opening
    QAbstractItemView* list = combo()->view();
    const QRect item = list->visualRect(list->model()->index(4, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(combo()->currentText(), "25kHz");
    click("Command2");
    EXPECT_EQ(text("Text3"), "FEF1F0") << "25 kHz";
}

TEST_F(Form1Test, TabVisitsControlsInTabIndexOrder) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    get<QLineEdit>("Text1")->setFocus();
    QStringList visited;
    for (int i = 0; i < 12; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // The selector's edit field has no name of its own.
        visited << (focus->objectName().isEmpty() ? focus->parentWidget()->objectName() : focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, QStringList({"Text1", "Text2", "Command1", "Text3", "Text9", "Text10", "Text17", "Text18",
                                    "Command2", "Combo1", "Text11", "Text1"}));
}

}  // namespace

int main(int argc, char** argv) {
    // No display is needed: the window is drawn off screen unless asked otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The off-screen platform says so on every popup; that is noise here.
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith("This plugin does not support")) previous(type, context, message);
    });
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
