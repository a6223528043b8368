// freqcode in a web browser: Form1 and the channel-list panel, built when the
// page's WebAssembly starts; from then on, all work happens in event handlers.
#include "form1page.h"
#include "listpanel.h"

int main() {
    web::createform1();
    web::createlistpanel();
    return 0;
}
