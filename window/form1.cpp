#include "form1.h"

#include <QComboBox>
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>

#include "ui_form1.h"

namespace {

const QString aplaceholder = QStringLiteral("****");
const QString bplaceholder = QStringLiteral("******");

// Reads one of the compiled-in images in its known format. Left to detect
// the format, Qt loads every image plugin to ask each whether it can read
// the data, which slows the window's start noticeably.
QPixmap image(const char* path, const char* format) {
    QImageReader reader(QString::fromLatin1(path), format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>()), picture(image(":/assets/radio.jpg", "jpeg")) {
    // The boxes are 18 pixels high and sized for six code characters: the
    // desktop's usual 12-pixel font would not fit them, so the whole window
    // uses the classic 11-pixel size of the same family. Set before the
    // controls exist, so that they are made with it.
    QFont windowfont = font();
    windowfont.setPixelSize(11);
    setFont(windowfont);
    ui->setupUi(this);
    setWindowIcon(image(":/assets/icon.png", "png"));
    // Positions are fixed to the pixel, so the window keeps its size.
    setFixedSize(size());

    // Only a pick from the list changes the step. An editable combo box would
    // otherwise complete typed text inline and, when editing finishes with a
    // text equal to an item, select that item as if it had been picked.
    ui->Combo1->setCompleter(nullptr);
    disconnect(ui->Combo1->lineEdit(), &QLineEdit::editingFinished, ui->Combo1, nullptr);

    connect(ui->Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

Form1::~Form1() = default;

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);  // unscaled, at the top-left corner
}

void Form1::Combo1_Click() {
    stepstr = ui->Combo1->currentText();
    for (QLineEdit* abox : {ui->Text9, ui->Text1}) abox->setText(aplaceholder);
    for (QLineEdit* box : {ui->Text10, ui->Text11, ui->Text2, ui->Text3}) box->setText(bplaceholder);
}

void Form1::Command1_Click() {
    showcodes(calc::Direction::receive, ui->Text17, ui->Text9, ui->Text10, ui->Text11);
}

void Form1::Command2_Click() {
    showcodes(calc::Direction::transmit, ui->Text18, ui->Text1, ui->Text2, ui->Text3);
}

void Form1::showcodes(calc::Direction direction, const QLineEdit* freq, QLineEdit* abox, QLineEdit* bbox,
                      QLineEdit* rbox) {
    const auto result = calc::calccodes(direction, stepstr.toStdString(), freq->text().toStdString());
    switch (result.outcome) {
        case calc::Outcome::codes:
            abox->setText(QString::fromStdString(result.codes.acode));
            bbox->setText(QString::fromStdString(result.codes.bcode));
            rbox->setText(QString::fromStdString(result.codes.rcode));
            break;
        case calc::Outcome::offstep:
            abox->setText(aplaceholder);
            bbox->setText(bplaceholder);
            rbox->setText(bplaceholder);
            break;
        case calc::Outcome::outofrange:
            break;  // the boxes keep what they showed
    }
}
