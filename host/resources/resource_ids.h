// Identifiers of the host's compiled-in artwork, shared by the resource
// script and the code that loads the pictures. Plain #defines, because
// windres reads this file too.
#pragma once

// Program and dialog icon, 32 x 32, 256 colours. The lowest icon id is the
// one the shell shows for the .scr file.
#define IDI_NUMERABO 1

// JPEG pictures, stored as RCDATA.
#define IDR_JPEG_BACK 101          // Pic_Back: 512 x 512 baseline, 3 components
#define IDR_JPEG_PREVIEW_BACK 102  // preview window background, 152 x 112
#define IDR_JPEG_PREVIEW_IMAGE 103 // preview Img_Prev, 152 x 112
#define IDR_JPEG_MARKER_OFF 104    // Img_Ra(0), unselected marker, 12 x 12
#define IDR_JPEG_MARKER_ON 105     // Img_Ra(1), selected marker, 12 x 12

// Pointing-hand cursor of the link label, 32 x 32 monochrome, hot spot 12, 10.
#define IDC_POINTING_HAND 106

// The image button's six state pictures, 64 x 25, 24-bit, as BITMAP resources.
#define IDB_BUTTON_NORMAL 111
#define IDB_BUTTON_HIGHLIGHT 112
#define IDB_BUTTON_PRESSED 113
#define IDB_BUTTON_SELECTED 114
#define IDB_BUTTON_HIGHLIGHT_SELECT 115
#define IDB_BUTTON_DISABLE 116
