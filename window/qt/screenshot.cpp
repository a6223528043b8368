// Saves a picture of the window, as the README shows it: both buttons
// pressed with the frequencies the window starts with, or with both boxes
// holding the frequency given. Usage:
//   form1_screenshot OUTPUT.png [FREQUENCY]
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fputs("usage: form1_screenshot OUTPUT.png [FREQUENCY]\n", stderr);
        return 2;
    }
    Form1 form;
    form.show();
    if (argc == 3)
        for (const char* box : {"Text17", "Text18"}) form.findChild<QLineEdit*>(box)->setText(QString::fromLocal8Bit(argv[2]));
    for (const char* button : {"Command1", "Command2"}) form.findChild<QPushButton*>(button)->click();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "form1_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
