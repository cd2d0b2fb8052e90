#pragma once
// The program's resource numbers, one table for the resource script (resources/orvel.rc,
// which windres reads through the C preprocessor, hence plain macros), the bitmaps
// compiled into the Linux programs (resources/CMakeLists.txt reads this file) and the
// code. Windows finds a saver's name by string 1 and its settings dialog by number.

// The program's icon: the .ico file, with its 32, 16 and 48 pixel images.
#define IDI_ORVEL 103

// The bitmaps the scene draws with, 24 bits per pixel.
#define IDB_BANNER 104  // the title, 128 by 64
#define IDB_GLOW 106    // the glow sprite, 64 by 64
#define IDB_GRID 108    // the grid planes' cloudy texture, 128 by 128

// The configure dialog and its low-detail check box.
#define IDD_CONFIGURE 2003
#define IDC_LOW_DETAIL 1000

// The name the screen-saver list shows.
#define IDS_SAVER_NAME 1
