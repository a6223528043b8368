#include <QApplication>
#include <cstdio>

#include "form1.h"

namespace {

// Without a display Qt aborts with several lines about platform plugins;
// a person starting the tool deserves one clear line instead.
bool displaymissing() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    if (displaymissing()) {
        std::fputs("freqcode: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    Form1 form;
    form.show();
    return app.exec();
}
