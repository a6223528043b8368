// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_FREQCODE 1   // the window's and the program's icon
#define IDR_PICTURE 2    // the radio picture, JPEG bytes as RCDATA
#define IDR_PICTURE2X 3  // the same of twice the pixels each way, for screens above 96 DPI
