// Resource ids of the autorun menu. Section, key and special names are
// string-table texts so that a translated table renames them.
#pragma once

#define IDS_CONFIG_FILE 1
#define IDS_SECTION_APPLICATION 2
#define IDS_KEY_BITMAP 3
#define IDS_KEY_COMMAND 4
#define IDS_SECTION_COMMANDS 5
#define IDS_QUIT_PROGRAM 6
#define IDS_NO_COMMAND 7
#define IDS_EXEC_FAILED 8
#define IDS_KEY_PLAYSOUND 9
#define IDS_KEY_CAPTION 10
#define IDS_ROOT_CURRENT_USER 11
#define IDS_ROOT_CLASSES_ROOT 12
#define IDS_ROOT_LOCAL_MACHINE 13
#define IDS_ROOT_USERS 14
#define IDS_ROOT_DYN_DATA 15
#define IDS_KEY_CENTER_BUTTONS 16
#define IDS_AUTORUN_SWITCH 17
#define IDS_SECTION_REGISTRY 18
#define IDS_KEY_KEY 19
#define IDS_KEY_VALUE 20
#define IDS_BAD_VALUE 21
#define IDS_BROWSE_CD 22
#define IDS_DEFAULT_CAPTION 23

#define IDI_MAIN 128
