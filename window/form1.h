// The tool's one window: the radio picture, the step selector, the two
// frequency entries with their buttons, and the six code boxes.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

#include "calc/codes.h"

class QLineEdit;

namespace Ui {
class Form1;
}

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void Combo1_Click();    // a step picked from the list
    void Command1_Click();  // "receive"
    void Command2_Click();  // "send"

private:
    // Computes one direction's codes and shows them in its three boxes.
    void showcodes(calc::Direction direction, const QLineEdit* freq, QLineEdit* abox, QLineEdit* bbox,
                   QLineEdit* rbox);

    std::unique_ptr<Ui::Form1> ui;
    QPixmap picture;
    // The step text last picked from Combo1's list; empty until the first
    // pick, which the calculation reads as 5 kHz, the step Combo1 shows.
    QString stepstr;
};
