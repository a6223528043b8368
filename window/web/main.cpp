// freqcode in a web browser: Form1, built when the page's WebAssembly
// starts, which is before the rest of the page is read; the channel-list
// panel is set up once it is (createlistpanel, from the page's script).
// From then on, all work happens in event handlers.
#include "form1page.h"

int main() {
    web::createform1();
    return 0;
}
