// Resource ids of the program: string table, menu commands, the main
// window's controls and internal commands, and the dialogs' controls.
// Named resources (MAIN_MENU, MAIN_ICON, MAIN_LOGO, CLICK_SOUND and the
// dialog templates) are names, not numbers, and are not defined here.
#ifndef VOMBLY_RES_RESOURCE_H
#define VOMBLY_RES_RESOURCE_H

// String table. Ids below IDS_END_MARKER are cached at start.
#define IDS_NONE              0
#define IDS_PRODUCT           1
#define IDS_TITLE             2
#define IDS_ABOUT             3
#define IDS_RIGHTS_HOLDER     4
#define IDS_AVAILABILITY      5
#define IDS_RIGHTS_RESERVED   6
#define IDS_ALREADY_ACTIVE    7
#define IDS_NEEDS_XP          8
#define IDS_ADD               9
#define IDS_REMOVE           10
#define IDS_EXIT_TEXT        11
#define IDS_QUIT             12
#define IDS_ADD_LABEL        13
#define IDS_ADD_TITLE        14
#define IDS_REMOVE_LABEL     15
#define IDS_REMOVE_TITLE     16
#define IDS_NOTHING_SELECTED 17
#define IDS_ERROR            18
#define IDS_SETTINGS         19
#define IDS_MINIMISE_OPTION  20
#define IDS_TOGGLE_LIST      21
#define IDS_LIST1_DEFAULT    22
#define IDS_LIST2_DEFAULT    23
#define IDS_LIST3_DEFAULT    24
#define IDS_UNKNOWN          25
#define IDS_NAME_LIST1       26
#define IDS_NAME_LIST2       27
#define IDS_NAME_LIST3       28
#define IDS_SORT_OPTION      29
#define IDS_RESTART_NEEDED   30
#define IDS_UNSPECIFIED      41
#define IDS_END_MARKER       42
// Texts after the end marker, cached beside the others.
#define IDS_SETTINGS_DAMAGED   60
#define IDS_SETTINGS_NOT_KEPT  61
#define IDS_LIST_DAMAGED       62
#define IDS_LIST_UNREADABLE    63
#define IDS_LIST_NOT_SAVED     64
#define IDS_SETTINGS_NOT_SAVED 65
#define IDS_TOGGLE_NOT_SAVED   66
#define IDS_UNSAVED_AT_EXIT    67
#define IDS_NOTHING_COPIED     68
#define IDS_FOLDER_TOO_LONG    69
#define IDS_UNKNOWN_ERROR      70

// Strings of editing, reordering, import and export; cached like every
// text up to id 199.
#define IDS_MENU_COPY         120
#define IDS_MENU_EDIT         121
#define IDS_MENU_REMOVE       122
#define IDS_MENU_MOVE_UP      123
#define IDS_MENU_MOVE_DOWN    124
#define IDS_MENU_IMPORT       125
#define IDS_MENU_EXPORT       126
#define IDS_EDIT_TITLE        127
#define IDS_EDIT_LABEL        128
#define IDS_TEXT_FILTER       129
#define IDS_IMPORT_TITLE      130
#define IDS_EXPORT_TITLE      131
#define IDS_IMPORT_ADDED      132
#define IDS_IMPORT_SKIPPED    133
#define IDS_SKIP_TOO_LONG     134
#define IDS_SKIP_CODE_PAGE    135
#define IDS_SKIP_QUOTES       136
#define IDS_SKIP_MORE         137
#define IDS_FILE_UNREADABLE   138
#define IDS_FILE_NOT_TEXT     139
#define IDS_FILE_EMPTY        140
#define IDS_FILE_TOO_LARGE    141
#define IDS_EXPORT_DONE       142
#define IDS_EXPORT_FAILED     143
#define IDS_EXPORT_SKIPPED    144
#define IDS_SKIP_ENTRY_CODE_PAGE 145
#define IDS_COMPANION_DAMAGED  170
#define IDS_COMPANION_NOT_KEPT 171
#define IDS_FOLDER_IN_USE      172

// Texts added after the fixed table (read with GetString): the
// keyboard and privacy options, the hotkey's failure, the tray menu.
#define IDS_KEYBOARD_PRIVACY    90
#define IDS_HOTKEY_LABEL        91
#define IDS_HOTKEY_NONE         92
#define IDS_PASTE_OPTION        93
#define IDS_PRIVATE_LABEL       94
#define IDS_CLEAR_LABEL         95
#define IDS_HOTKEY_TAKEN        96
#define IDS_HOTKEY_TAKEN_STATUS 97
#define IDS_CLEAR_RANGE         98
#define IDS_SHOW_VOMBLY         99
#define IDS_TRAY_SETTINGS      100
#define IDS_TRAY_EXIT          101
#define IDS_TRAY_EMPTY         102
#define IDS_TRAY_MORE          103
#define IDS_HOTKEY_ACTIVE      104
#define IDS_LIST_NOT_CHANGED   105
#define IDS_UNSAVED_KEPT       106
#define IDS_UNSAVED_LOST       107
#define IDS_KEPT_OFFER         108
#define IDS_KEPT_NOT_TAKEN     109
#define IDS_SETTINGS_UNREAD    110
#define IDS_PRIVATE_NOT_CLEARED 111
#define IDS_COPY_FAILED        112
#define IDS_ENTRY_LEFT_OUT     113
#define IDS_SETTINGS_KEPT      114
#define IDS_KEPT_SETTINGS_OFFER 115
#define IDS_KEPT_SETTINGS_NOT_TAKEN 116

// MAIN_MENU commands.
#define IDM_ABOUT     40001
#define IDM_EXIT      40002
#define IDM_ADD       40003
#define IDM_REMOVE    40004
#define IDM_SETTINGS  40005
#define IDM_TOGGLE    40006
#define IDM_HOMEPAGE  40009
// Options menu, after Settings.
#define IDM_KEYBOARD_PRIVACY 41001
// Commands the program sends itself: copy the selected entry (Enter in the
// list box), bring the window up (tray menu), report a hotkey that could
// not be registered at start.
#define CMD_COPY_SELECTED    41002
#define IDM_SHOW_WINDOW      41003
#define CMD_REPORT_HOTKEY    41004
// The tray menu's Settings and Exit: the window comes up first, since their
// dialogs are placed over it.
#define IDM_TRAY_SETTINGS    41005
#define IDM_TRAY_EXIT        41006

// The entry context menu.
#define IDM_ENTRY_COPY      42001
#define IDM_ENTRY_EDIT      42002
#define IDM_ENTRY_REMOVE    42003
#define IDM_ENTRY_MOVE_UP   42004
#define IDM_ENTRY_MOVE_DOWN 42005
#define IDM_LIST_IMPORT     42006
#define IDM_LIST_EXPORT     42007

// The main window's controls (each id is also its window slot) and the two
// commands the program sends to its own window.
#define IDC_LISTBOX    2
#define IDC_ADD        3
#define IDC_REMOVE     4
#define IDC_TOGGLE     5
#define CMD_LOAD_LIST  6
#define CMD_SAVE_LIST  7

// ABOUTBOX and EXITBOX.
#define IDC_ABOUT_TEXT 1001
#define IDC_EXIT_TEXT  1002
// ADDBOX and REMOVEBOX.
#define IDC_ADD_LABEL     1003
#define IDC_ADD_EDIT      1004
#define IDC_REMOVE_LIST   1005
#define IDC_REMOVE_LABEL  1006
// SETTINGSBOX.
#define IDC_MINIMISE_CHECK 1007
#define IDC_NAME2_EDIT     1009
#define IDC_NAME3_EDIT     1010
#define IDC_NAME1_EDIT     1011
#define IDC_NAME1_LABEL    1012
#define IDC_NAME2_LABEL    1013
#define IDC_NAME3_LABEL    1014
#define IDC_SORT_CHECK     1015
// KEYBOARDBOX.
#define IDC_HOTKEY_LABEL   1101
#define IDC_HOTKEY_FIELD   1102
#define IDC_HOTKEY_NONE    1103
#define IDC_HOTKEY_STATUS  1104
#define IDC_PASTE_CHECK    1105
#define IDC_PRIVATE_LABEL  1106
#define IDC_PRIVATE1_CHECK 1107
#define IDC_PRIVATE2_CHECK 1108
#define IDC_PRIVATE3_CHECK 1109
#define IDC_CLEAR_LABEL    1110
#define IDC_CLEAR_EDIT     1111

// EDITBOX.
#define IDC_EDIT_LABEL     1201
#define IDC_EDIT_EDIT      1202

// The dialogs' icon static.
#define IDC_STATIC_ICON   -1

#endif
