// Resource ids of the application core of _setupx: its texts, the program
// icon, the bitmap popup with its pictures, and the agreement text.
#pragma once

// ---- Application texts ------------------------------------------------------
#define IDS_PRODUCT_TITLE 4
#define IDS_CONFIRM_EXIT 5
#define IDS_PROGRAM_FOLDER 6
#define IDS_PROGRAM_FILE 21
#define IDS_PRODUCT_KEY_NAME 22
#define IDS_RESTART_FAILED 23
#define IDS_ALREADY_INSTALLED 42
#define IDS_ANOTHER_RUN 43
// The caption of the program's message boxes.
#define IDS_APP_TITLE 57344
#define IDS_STATUS_SUCCEEDED 57345
#define IDS_STATUS_FAILED 57346

// ---- Pictures ---------------------------------------------------------------
#define IDI_PROGRAM 4
// The page icons are the IDI_PAGE_ ids of WizardIds.h. The pictures are
// packed (AppPictures.rc); CBitmap::LoadBitmap loads them by these ids.
#define IDB_BILLBOARD_FIRST 158
#define IDB_BILLBOARD_LAST 160
#define IDB_SPLASH 161

// ---- Bitmap popup (splash and billboards) -----------------------------------
#define IDD_BITMAP_DIALOG 120

// ---- The licence agreement, NUL-terminated text -----------------------------
#define IDR_AGREEMENT 64
