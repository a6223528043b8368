// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_FREQCODE 1   // the window's and the program's icon
#define IDR_PICTURE 2    // the radio picture, JPEG bytes as RCDATA
