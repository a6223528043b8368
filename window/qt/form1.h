// The tool's one window in Qt: the radio picture, the step selector, the two
// frequency entries with their buttons, and the six code boxes, created from
// Form1's description. Picks and clicks go to Form1's event handlers.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <memory>

#include "form/form1events.h"

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The picture as drawn at that device pixel ratio: the picture itself at
    // 1, its finer twin smoothly scaled above.
    static QPixmap pictureat(qreal scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Texts;  // the control texts the handlers read and set

    void createcontrols();

    QPixmap picture;
    qreal picturescale = 0;  // the device pixel ratio picture was made for
    std::unique_ptr<Texts> texts;
    std::unique_ptr<form::Form1Events> events;
};
