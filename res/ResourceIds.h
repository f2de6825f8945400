/* Identifiers shared by the program and its resource script (Tessavel.rc).
   Plain #defines in C syntax, because both resource compilers read this file. */
#ifndef TESSAVEL_RES_RESOURCEIDS_H
#define TESSAVEL_RES_RESOURCEIDS_H

/* Resources */
#define IDS_MOUSE_ACTIONS 1 /* string table: the mouse-action names, ';'-separated */
#define IDI_TESSAVEL 101
#define IDR_MAIN_MENU 102
#define IDD_ABOUT 103
#define IDR_ACCELERATORS 104
#define IDD_OPTION 105
#define IDD_CONVERSION 106
/* The document types' icon; the installer names it as tessavel.exe,-120 (it
   reads the number from here). */
#define IDI_TESSAVEL_DOCUMENT 120

/* Commands of the main menu and the accelerators */
#define IDM_OPEN_FILE 40001
#define IDM_OPEN_FOLDER 40002
#define IDM_OPTION 40003
#define IDM_QUIT 40004
#define IDM_PREVIOUS_FILE 40005
#define IDM_NEXT_FILE 40006
#define IDM_OPEN_IN_VELMORA 40007
#define IDM_COPY_TO_CLIPBOARD 40008
#define IDM_CONVERT_ALL 40009
#define IDM_ZOOM_25 40010
#define IDM_ZOOM_50 40011
#define IDM_ZOOM_75 40012
#define IDM_ZOOM_100 40013
#define IDM_ZOOM_200 40014
#define IDM_ZOOM_300 40015
#define IDM_ZOOM_400 40016
#define IDM_ZOOM_500 40017
#define IDM_ABOUT 40018
#define IDM_EXTEND 40019
#define IDM_REDUCE 40020
#define IDM_RECENT_PLACEHOLDER 40021 /* the "-" item the first rebuild of the submenu removes */
#define IDM_EXPORT_LAYERS 40022
#define IDM_FIT_TO_WINDOW 40030
#define IDM_FULL_SCREEN 40031
#define IDM_LEAVE_FULL_SCREEN 40032 /* Esc: acts only in full screen */
#define IDM_REFRESH 40023           /* lists the folder shown again */
#define IDM_LAYERS_PANE 40024       /* shows or hides the layers pane */
#define IDM_NEXT_PANE 40025         /* Tab: the keys go from the list to the layers pane and back */
#define IDM_SAVE_AS 40026           /* writes the document shown as PNG, BMP, PSD or OpenRaster */
#define IDM_SORT_NAME 40040         /* the file list by name, date modified or size: */
#define IDM_SORT_MODIFIED 40041     /* IDM_SORT_NAME + the SortOrder setting */
#define IDM_SORT_SIZE 40042
#define IDM_SORT_REVERSE 40043 /* the order turned round: newest, largest first */
/* Stepping and the layers pane's choices */
#define IDM_STEP_STARTS_TOP_LEFT 40070 /* each document at its top-left, not at the place of the one before */
#define IDM_CARRY_HIDDEN_LAYERS 40071  /* layers hidden by name stay hidden in the next documents */
#define IDM_SOLO_LAYER 40072           /* Alt+Space: the pane's focused layer alone, and back */
/* The view's painter's tools: finer zoom steps, the view mirrored and turned,
   fit enlarging small pictures, the colour under the pointer copied. */
#define IDM_ZOOM_33 40060
#define IDM_ZOOM_67 40061
#define IDM_ZOOM_150 40062
#define IDM_FLIP_HORIZONTAL 40063
#define IDM_ROTATE_RIGHT 40064
#define IDM_ROTATE_LEFT 40065
#define IDM_FIT_ENLARGE 40066 /* Fit enlarges small pictures: FitEnlarge, FitEnlargeFullScreen in full screen */
#define IDM_COPY_COLOUR 40067 /* the colour under the pointer as "#RRGGBB" text */
#define IDM_THUMBNAILS 40050 /* the thumbnail grid in the view's place, or the view again */
#define IDM_SLIDESHOW 40051  /* full screen, stepping on by itself until a key or a click */
#define IDM_RECENT_FIRST 41000 /* recent folder i has command 41000 + i */
#define RECENT_FOLDER_COUNT 5
#define RECENT_MENU_POSITION 8 /* position of "Recents opened folder" in the File menu */

/* Child windows of the main frame */
#define IDC_FILE_LIST 2000
#define IDC_STATUS_BAR 2010
#define IDC_LAYERS_PANE 2001

/* Controls shared by the dialogs */
#define IDC_STATIC (-1)

/* Option dialog (105) */
#define IDC_OPTION_COLOR 1000
#define IDC_OPTION_VELMORA_PATH 1001
#define IDC_OPTION_BROWSE 1002
#define IDC_OPTION_MOUSE_RIGHT 1003 /* the five binding combo boxes follow in MouseEvent order */
#define IDC_OPTION_MOUSE_MIDDLE 1004
#define IDC_OPTION_WHEEL_UP 1005
#define IDC_OPTION_WHEEL_DOWN 1006
#define IDC_OPTION_LEFT_DOUBLE 1007
#define IDC_OPTION_NAMES_CODEPAGE 1008

/* Conversion dialog (106) */
#define IDC_CONVERSION_BROWSE 1000
#define IDC_CONVERSION_FOLDER 1001
#define IDC_CONVERSION_FORMAT 1003
#define IDC_CONVERSION_START 1008
#define IDC_CONVERSION_PROGRESS 1009
#define IDC_CONVERSION_OVERWRITE 1010
#define IDM_CONVERSION_DONE 3000 /* posted by the conversion job when it ends */

#endif
