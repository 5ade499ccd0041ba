// Resource and control ids shared by the resource script and the windows.
#pragma once

// Icon, menu, accelerators and the caption string of the main frame.
#define IDR_MAINFRAME 128
// The result list's mark images: six 16 x 16 pictures, pure red transparent.
#define IDB_MARKS 351
