// Saves a picture of the window, as the README shows it: both buttons
// pressed with the frequencies the window starts with. Usage:
//   form1_screenshot OUTPUT.png
#include <QApplication>
#include <QPushButton>
#include <cstdio>

#include "form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: form1_screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    Form1 form;
    form.show();
    for (const char* button : {"Command1", "Command2"}) form.findChild<QPushButton*>(button)->click();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "form1_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
