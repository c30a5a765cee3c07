// Resource ids of _setupx. Read by the resource compiler as well as by the
// C++ sources: #define lines only, grouped by subsystem.
#pragma once

#include "AppResourceIds.h"
#include "WizardIds.h"

// ---- Setup profile ---------------------------------------------------------
#define IDS_PROFILE_INCOMPLETE 10
#define IDS_PROFILE_INCOMPLETE_INFO 13

// ---- Exception family: short title and explanation of each error ----------
#define IDS_ERR_UNKNOWN 24576
#define IDS_ERR_UNKNOWN_INFO 24577
#define IDS_ERR_MEMORY 24578
#define IDS_ERR_MEMORY_INFO 24579
#define IDS_ERR_FILE 24580
#define IDS_ERR_FILE_INFO 24581
#define IDS_ERR_ARCHIVE 24582
#define IDS_ERR_ARCHIVE_INFO 24583
#define IDS_ERR_RESOURCE 24584
#define IDS_ERR_RESOURCE_INFO 24585
#define IDS_ERR_USER 24586
#define IDS_ERR_USER_INFO 24587
#define IDS_ERR_NOT_SUPPORTED 24588
#define IDS_ERR_NOT_SUPPORTED_INFO 24589
#define IDS_ERR_FILE_NOT_FOUND 24590
#define IDS_ERR_FILE_NOT_FOUND_INFO 24591
#define IDS_ERR_BAD_PATH 24592
#define IDS_ERR_BAD_PATH_INFO 24593
#define IDS_ERR_TOO_MANY_FILES 24594
#define IDS_ERR_TOO_MANY_FILES_INFO 24595
#define IDS_ERR_ACCESS_DENIED 24596
#define IDS_ERR_ACCESS_DENIED_INFO 24597
#define IDS_ERR_INVALID_FILE 24598
#define IDS_ERR_REMOVE_CURRENT_DIR 24599
#define IDS_ERR_DIRECTORY_FULL 24600
#define IDS_ERR_DIRECTORY_FULL_INFO 24601
#define IDS_ERR_BAD_SEEK 24602
#define IDS_ERR_HARDWARE 24603
#define IDS_ERR_HARDWARE_INFO 24604
#define IDS_ERR_SHARING 24605
#define IDS_ERR_SHARING_INFO 24606
#define IDS_ERR_LOCKING 24607
#define IDS_ERR_LOCKING_INFO 24608
#define IDS_ERR_DISK_FULL 24609
#define IDS_ERR_DISK_FULL_INFO 24610
#define IDS_ERR_END_OF_FILE 24611

// ---- Archives and codecs: short title and explanation of each error -------
#define IDS_MF_UNKNOWN_METHOD 27648
#define IDS_MF_UNKNOWN_METHOD_INFO 27649
#define IDS_MF_NOT_ARCHIVE 27650
#define IDS_MF_NOT_ARCHIVE_INFO 27651
#define IDS_MF_NO_ENTRY_HEADER 27652
#define IDS_MF_NO_ENTRY_HEADER_INFO 27653
#define IDS_MF_CORRUPT_TABLE 27654
#define IDS_MF_CORRUPT_TABLE_INFO 27655
#define IDS_MF_CRC_MISMATCH 27656
#define IDS_MF_CRC_MISMATCH_INFO 27657
#define IDS_ZLIB_UNKNOWN 27658
#define IDS_ZLIB_DAMAGED_INFO 27659
#define IDS_ZLIB_STREAM 27660
#define IDS_ZLIB_DATA 27661
#define IDS_ZLIB_BUFFER 27662

// ---- Error dialog and the messages it is shown with ------------------------
#define IDS_SETUP_CANNOT_CONTINUE 9
#define IDS_CONTINUE_OPERATION 14
#define IDS_CANCEL_OPERATION 15
#define IDS_CANNOT_INSTALL_FILES 17
#define IDD_ERROR_DIALOG 1544
// Every folding dialog has the More button and the fold marker.
#define IDC_MORE 119
#define IDC_FOLD_MARKER 123
#define IDC_ERROR_SHORT_TEXT 140
#define IDC_ERROR_MESSAGE 141
#define IDC_ERROR_ICON 142
#define IDC_ERROR_INFORMATION 144
#define IDC_ERROR_LONG_TEXT 152

// ---- Disk space check of the installation directory ------------------------
#define IDS_INSUFFICIENT_DISK_SPACE 26
#define IDD_INSUFFICIENT_DISK_SPACE 140
#define IDC_SPACE_AVAILABLE 1040
#define IDC_SPACE_REQUIRED 1041
#define IDC_DISK_SPACE_MESSAGE 1042

// ---- Source media: the Insert Diskette dialog --------------------------------
#define IDS_SOURCE_FILE_MISSING 28
#define IDS_INSERT_LABELLED_DISKETTE 29
#define IDS_INSERT_NUMBERED_DISKETTE 30
#define IDD_INSERT_DISKETTE 113
#define IDC_DISKETTE_BROWSE 3
#define IDC_SKIP_FILE 5
#define IDC_DISKETTE_DIRECTORY 1001
#define IDC_DISKETTE_PROMPT 1026
#define IDC_DISKETTE_EXPLANATION 1033
