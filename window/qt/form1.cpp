#include "form1.h"

#include <QComboBox>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include "form/form1.h"
#include "form/form1texts.h"

namespace {

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QRect pixels(int left, int top, int width, int height) {
    const int t = form::twipsperpixel;
    return {left / t, top / t, width / t, height / t};
}

// Reads one of the compiled-in images in its known format. Left to detect
// the format, Qt loads every image plugin to ask each whether it can read
// the data, which slows the window's start noticeably.
QImage image(std::string_view name, const char* format) {
    QImageReader reader(":/assets/" + qtext(name), format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

}  // namespace

QPixmap Form1::pictureat(qreal scale) {
    if (scale <= 1) return QPixmap::fromImage(image(form::picture, "jpeg"));
    // The screen's pixels under the picture, filled from the finer picture
    // by smooth scaling (at 2 it is the finer one itself).
    const QSize pixels(qRound(form::picturewidth * scale), qRound(form::pictureheight * scale));
    QPixmap scaled = QPixmap::fromImage(
        image(form::picture2x, "jpeg").scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled.setDevicePixelRatio(scale);
    return scaled;
}

namespace {

// Makes a box's font smaller, where it must be, until every text the box
// can show fits it whole: a frequency to 10 Hz has nine characters.
void fittexts(QLineEdit* edit, const form::Control& c) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const int margin = 2;  // QLineEdit's own inner margin on each side
    const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - 2 * margin;
    QFont font = edit->font();
    const auto fits = [&] {
        const QFontMetrics metrics(font);
        for (const std::string& text : form::textsof(c))
            if (metrics.horizontalAdvance(qtext(text)) > room) return false;
        return true;
    };
    while (!fits() && font.pixelSize() > 8) font.setPixelSize(font.pixelSize() - 1);
    edit->setFont(font);
}

}  // namespace

class Form1::Texts : public form::Controls {
public:
    explicit Texts(const QWidget* form1) : window(form1) {}

    std::string text(std::string_view name) const override {
        const QWidget* widget = find(name);
        if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText().toStdString();
        if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text().toStdString();
        return {};
    }
    void settext(std::string_view name, std::string_view text) override {
        QWidget* widget = find(name);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) combo->setEditText(qtext(text));
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setText(qtext(text));
    }

private:
    QWidget* find(std::string_view name) const { return window->findChild<QWidget*>(qtext(name)); }
    const QWidget* window;
};

Form1::Form1(QWidget* parent)
    : QWidget(parent), texts(std::make_unique<Texts>(this)),
      events(std::make_unique<form::Form1Events>(*texts)) {
    // The boxes are 18 pixels high and sized for six code characters: the
    // desktop's usual 12-pixel font would not fit them, so the whole window
    // uses the classic 11-pixel size of the same family. Set before the
    // controls exist, so that they are made with it.
    QFont windowfont = font();
    windowfont.setPixelSize(11);
    setFont(windowfont);
    setWindowTitle(qtext(form::caption));
    setWindowIcon(QPixmap::fromImage(image(std::string(form::icon) + ".png", "png")));
    // Positions are fixed to the pixel, so the window keeps its size.
    setFixedSize(form::clientwidth / form::twipsperpixel, form::clientheight / form::twipsperpixel);
    createcontrols();
}

Form1::~Form1() = default;

void Form1::createcontrols() {
    for (const form::Line& line : form::lines) {
        auto* frame = new QFrame(this);
        frame->setObjectName(qtext(line.name));
        frame->setFrameShape(QFrame::VLine);
        frame->setFrameShadow(QFrame::Sunken);
        // A sunken line is three pixels wide, centred on the line's x.
        const QRect at = pixels(line.x1, line.y1, 0, line.y2 - line.y1);
        frame->setGeometry(at.x() - 1, at.y(), 3, at.height());
    }
    for (const form::Control& c : form::controls) {
        QWidget* widget = nullptr;
        switch (c.kind) {
            case form::Kind::label:
                widget = new QLabel(qtext(c.text), this);
                break;
            case form::Kind::button: {
                auto* button = new QPushButton(qtext(c.text), this);
                button->setAutoDefault(true);  // Enter on the focused button presses it, as Space does
                connect(button, &QPushButton::clicked, this, [this, name = c.name] { events->click(name); });
                widget = button;
                break;
            }
            case form::Kind::textbox: {
                auto* edit = new QLineEdit(qtext(c.text), this);
                edit->setReadOnly(c.readonly);
                widget = edit;
                break;
            }
            case form::Kind::combobox: {
                auto* combo = new QComboBox(this);
                combo->setEditable(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
                for (const std::string_view step : form::steplist) combo->addItem(qtext(step));
                combo->setEditText(qtext(c.text));
                // Only a pick from the list changes the step. An editable combo
                // box would otherwise complete typed text inline and, when
                // editing finishes with a text equal to an item, select that
                // item as if it had been picked.
                combo->setCompleter(nullptr);
                disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
                connect(combo, &QComboBox::activated, this, [this] { events->Combo1_Click(); });
                // Enter in the field, or leaving it, shows the step in effect again.
                connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this] { events->Combo1_LostFocus(); });
                widget = combo;
                break;
            }
        }
        widget->setObjectName(qtext(c.name));
        widget->setGeometry(pixels(c.left, c.top, c.width, c.height));
        if (c.kind == form::Kind::textbox && !c.readonly) fittexts(static_cast<QLineEdit*>(widget), c);
        if (!c.description.empty()) widget->setAccessibleName(qtext(c.description));
    }
    const auto order = form::taborder();
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(findChild<QWidget*>(qtext(order[i - 1]->name)), findChild<QWidget*>(qtext(order[i]->name)));
}

void Form1::paintEvent(QPaintEvent*) {
    // Made for the screen the window is on now: it may have moved to
    // another of another scale.
    if (picturescale != devicePixelRatioF()) {
        picturescale = devicePixelRatioF();
        picture = pictureat(picturescale);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);  // at the top-left corner, a device pixel for each of its own
}
