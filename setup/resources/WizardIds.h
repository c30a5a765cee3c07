// Resource ids of the setup wizard: page templates (a page's id is its
// template's id), their controls and icons, and the messages the pages show.
// #define lines only: read by the resource compiler as well.
#pragma once

// ---- Page templates ---------------------------------------------------------
#define IDD_START_MENU_FOLDER 162
#define IDD_WELCOME 102
#define IDD_DIRECTORY 104
#define IDD_COPY_PROGRESS 108
#define IDD_READING_SETUP 114
#define IDD_FINISHED 115
#define IDD_FAILED 116
#define IDD_USER_INFO 126
#define IDD_BUTTON_BAR 129
#define IDD_AGREEMENT 150
#define IDD_READY_TO_COPY 153
#define IDD_INSTALL_CONDITIONS 1537
#define IDD_REMOVE_CONFIRM 1545
#define IDD_REMOVING_FILES 1546
#define IDD_REMOVED 1547
#define IDD_REGISTERING 1549
#define IDD_UNREGISTERING 1550
#define IDD_RESTART 1558

// ---- Folder selection dialogs ------------------------------------------------
#define IDD_FOLDER_TREE 156     // "Select Folder"
#define IDC_FOLDER_PATH 1002    // path edit
#define IDC_FOLDER_TREE 1037    // shell namespace tree
#define IDS_EMPTY_PATH 27
#define IDD_CHANGE_FOLDER 138   // "Change Folder", the Save As dialog's own template
#define IDC_FOLDER_TEXT 1034    // the path when it cannot be edited

// ---- Controls -----------------------------------------------------------------
#define IDC_BROWSE 4            // "Bro&wse..." of the directory and folder pages
#define IDC_DIRECTORY 1001      // directory edit of page 104, folder edit of page 162
#define IDC_SOURCE_FILE 1008
#define IDC_DESTINATION_FILE 1009
#define IDC_GAUGE 1010
#define IDC_NEXT 1020
#define IDC_PAGE_TEXT 1026      // agreement text (150), failure text (116)
#define IDC_BACK 1027
#define IDC_CONDITIONS 1029
#define IDC_USER_NAME 1030
#define IDC_COMPANY 1031
#define IDC_REMOVING_FILE 1031
#define IDC_RESTART 1035
#define IDC_DONT_RESTART 1036

// ---- Page icons (32 x 32, top left of each page) --------------------------------
// Packed icons: the static control that shows one has the icon's id.
#define IDI_PAGE_START_MENU 101
#define IDI_PAGE_FOLDER 102
#define IDI_PAGE_PRODUCT 103
#define IDI_PAGE_WARNING 132
#define IDI_PAGE_DISK 133
#define IDI_PAGE_WAIT 134
#define IDI_PAGE_RESTART 135
#define IDI_PAGE_REMOVE 136
#define IDI_PAGE_STOP 137
#define IDI_PAGE_USER 138
#define IDI_PAGE_GEARS 142

// ---- Messages of the pages (the exit question 5 and the restart failure 23
// are the application's) -----------------------------------------------------------
#define IDS_CANNOT_CREATE_DIRECTORY 7
#define IDS_CREATE_DIRECTORY_QUESTION 24
#define IDS_NOT_INSTALLED 40
#define IDS_NOT_REMOVED 41
#define IDS_NEEDS_WINDOWS_4 44
#define IDS_CANNOT_CREATE_START_MENU_ITEM 46
