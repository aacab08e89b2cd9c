#pragma once
// Resource ids shared by vemra.rc and the code. Named resources (the WAVE
// sounds "KONTAKT" and "ERROR") need no id.

#define IDI_VEMRA 1  // the program icon: window, tray and Explorer
