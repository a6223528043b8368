// Starts a window and, at its first paint, writes the CLOCK_MONOTONIC time in
// nanoseconds to standard output and ends at once. Built three times: showing
// the tool's Form1; an empty window of the same size, the baseline; and that
// window with one line of text, which shows what the desktop's font set-up
// costs any window that draws text.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

#ifdef PROBE_FORM1
#include "form1.h"
#else
#include <QLabel>
#endif

namespace {

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
            std::fflush(stdout);
            _exit(0);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef PROBE_FORM1
    Form1 window;
#else
    QWidget window;
    window.setFixedSize(426, 292);
#ifdef PROBE_LABEL
    QLabel text(QStringLiteral("receive"), &window);
#endif
#endif
    FirstPaint firstpaint;
    window.installEventFilter(&firstpaint);
    window.show();
    return app.exec();
}
