// Resource ids of the program: dialogs, menus, icons, strings, controls and commands.
#pragma once

#define IDS_OLE_INIT_FAILED 100
#define IDS_SOCKETS_INIT_FAILED 103

#define IDD_ABOUTBOX 100
#define IDD_CORVANTILE_DIALOG 102
#define IDD_PREFS_SEARCHING 106

#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 129
#define IDD_PREFS_GENERAL 132
#define IDR_BUTTON_MENU 136
#define IDD_UPDATE_CHECK 137
#define IDI_LIST_ARROW 138

#define IDC_COMMANDLINE 1000
#define IDC_PREFS_AUTOHIDE 1001
#define IDC_PREFS_ALWAYS_SHOW_LIST 1002
#define IDC_PREFS_SHOW_ICONS 1003
#define IDC_PREFS_STARTUP 1004
#define IDC_PREFS_HOTKEY 1007
#define IDC_PREFS_DELAY 1008
#define IDC_PREFS_MIN_CHARS 1013
#define IDC_PREFS_MIN_CHARS_SPIN 1014
#define IDC_PREFS_CASE_SENSITIVE 1015
#define IDC_PREFS_START_ONLY 1016
#define IDC_PREFS_WEB_TITLES_ONLY 1017
#define IDC_PREFS_URL_DOMAINS_ONLY 1018
#define IDC_PREFS_TWO_LINES 1019
#define IDC_PREFS_REAL_TIME 1021
#define IDC_PREFS_OFFLINE 1022
#define IDC_PREFS_QUICK_LAUNCH 1023
#define IDC_VERSION_TEXT 1024
#define IDC_HOME_LINK 1025
#define IDC_BUILD_DATE_TEXT 1026
#define IDC_PREFS_FONT1 1027
#define IDC_PREFS_FONT2 1028
#define IDC_PREFS_FONT 1029
#define IDC_PREFS_CHECK_UPDATES 1033
#define IDC_CHECK_AT_STARTUP 1033
#define IDC_YOUR_VERSION 1034
#define IDC_LATEST_VERSION 1035
#define IDC_UPDATE_MESSAGE 1036
#define IDC_PREFS_URL_SOURCE_BROWSER 1038
#define IDC_PREFS_URL_NEW_WINDOW 1039
#define IDC_PREFS_ACTIONS_AFTER_SPACE 1040
#define IDC_PREFS_CTRL 1042
#define IDC_PREFS_ALT 1043
#define IDC_PREFS_SHIFT 1044
#define IDC_PREFS_WIN 1045
#define IDC_MENU_BUTTON 1031
#define IDC_ACTION_ICON 1032

#define ID_SHOW 32776
#define ID_PREFERENCES 32777
#define ID_UPDATE_CACHE 32778
#define ID_EXIT 32779
#define ID_ABOUT 32780
#define ID_HIDE 32781
#define ID_ONLINE_HELP 32782
#define ID_CHECK_FOR_UPDATES 32783
#define ID_USER_FORUMS 32784
#define ID_HOME_PAGE 32785

#define IDC_STATIC -1

// The program's pages on the web: the About box's link and the "On the Web" menu.
#define CORVANTILE_HOME_URL "https://www.corvantile.org/"
#define CORVANTILE_HELP_URL "https://www.corvantile.org/help/"
#define CORVANTILE_FORUMS_URL "https://www.corvantile.org/forums/"
// The update check reads the latest version's number from the first line of this file.
#define CORVANTILE_VERSION_FILE_URL "http://www.corvantile.org/curversion.dat"
