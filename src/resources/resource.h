#pragma once
// Resource ids shared by vemra.rc and the code. Named resources (the WAVE
// sounds "KONTAKT" and "ERROR") need no id.

#define IDI_VEMRA 1  // the program icon: window, tray and Explorer

// The maker's details in the about box. An empty address leaves its button
// without a target (disabled).
#define IDS_ABOUT_CONTACT 101
#define IDS_ABOUT_LEGAL 102
#define IDS_ABOUT_MAIL 103
#define IDS_ABOUT_WEBSITE 104
