#pragma once
// Resource and control ids of the main window, its launcher pages, the splash
// window and the pages that stand in until their own subsystems arrive.

// ---- Dialog templates --------------------------------------------------------
#define IDD_MAIN_WINDOW 102
#define IDD_HOME_PAGE 131
#define IDD_SETTINGS_PAGE 133
#define IDD_SCAN_PAGE 150
#define IDD_SCAN_RESULT_PAGE 163
#define IDD_REPORT_PAGE 166
#define IDD_HELP_PAGE 205
#define IDD_GENERAL_SETTINGS_PAGE 234
#define IDD_IGNORE_LIST_PAGE 235
#define IDD_SCHEDULE_PAGE 236
#define IDD_BHO_MANAGER 253
#define IDD_STARTUP_MANAGER 254
#define IDD_FULL_BACKUP_PAGE 255
#define IDD_UNINSTALL_PAGE 271
#define IDD_AUTO_BACKUP_PAGE 127
#define IDD_REGISTRY_PAGE 353
#define IDD_COMPUTER_TOOLS_PAGE 354
#define IDD_SECURITY_PAGE 355
#define IDD_SYSTEM_PAGE 356
#define IDD_IE_TOOLS_PAGE 366
#define IDD_IE_RESTORE_PAGE 413
#define IDD_IE_PROBLEMS_PAGE 414
#define IDD_BACKUP_HUB_PAGE 416
#define IDD_PATCH_UPDATE_PAGE 425
#define IDD_OPTIMIZE_PAGE 5713
#define IDD_FAVORITES_BACKUP_PAGE 5714
#define IDD_HOME_LAUNCHER_PAGE 5715

// ---- Controls of the main window ---------------------------------------------
#define IDC_PAGE_AREA 130
#define IDC_HELP_BUTTON 1025
#define IDC_LANGUAGE_COMBO 1029
#define IDC_SEPARATOR 1030
#define IDC_WEB_SITE_LINK 1031
#define IDC_CLOSE_BUTTON 1117
#define IDC_MINIMIZE_BUTTON 1118
#define IDC_UPDATE_BUTTON 1120
#define IDC_EASY_STEPS_BUTTON 1121
#define IDC_FOLDER_HOST 1143

// Item bars (folder captions send these ids) and item commands.
#define IDC_BAR_SCAN_CLEAN 5701
#define IDC_BAR_BACKUP 5702
#define IDC_BAR_IE_TOOLS 5703
#define IDC_BAR_WINDOWS 5704
#define IDC_BAR_OPTIONS 5705
#define IDC_BAR_HELP 5706
#define IDC_BAR_OPTIMIZE 5707

#define ID_NAV_REGISTRY_CLEANER 5601
#define ID_NAV_EVIDENCE_CLEANER 5602
#define ID_NAV_JUNK_CLEANER 5603
#define ID_NAV_FILE_SHREDDER 5604
#define ID_NAV_PATCH_UPDATE 5605
#define ID_NAV_COMPUTER 5611
#define ID_NAV_SECURITY 5612
#define ID_NAV_SYSTEM 5613
#define ID_NAV_AUTO_BACKUP 5614
#define ID_NAV_FULL_BACKUP 5615
#define ID_NAV_BACKUP_FAVORITES 5616
#define ID_NAV_BHO_MANAGER 5621
#define ID_NAV_INTERNET_OPTIONS 5622
#define ID_NAV_IE_RECOVER 5623
#define ID_NAV_IE_PROBLEMS 5624
#define ID_NAV_IE_FAVORITES 5625
#define ID_NAV_GENERAL_SETTINGS 5641
#define ID_NAV_SCHEDULER 5642
#define ID_NAV_IGNORE_LIST 5643
#define ID_NAV_RESULT_REPORTS 5644
#define ID_NAV_SETTINGS 5645
#define ID_NAV_STARTUP_MANAGER 5708
#define ID_NAV_UNINSTALL_MANAGER 5709
#define ID_NAV_SYSTEM_OPTIMIZER 5710
#define ID_NAV_SERVICE_OPTIMIZER 5711
#define ID_NAV_MEMORY_OPTIMIZER 5712

// ---- Controls of the pages -----------------------------------------------------
#define IDC_TASK_1 1001
#define IDC_TASK_2 1002
#define IDC_TASK_3 1003
#define IDC_TASK_4 1004
#define IDC_TASK_5 1005
#define IDC_TASK_6 1006
#define IDC_PAGE_DIVIDER 1030
// The title of a page that stands in for a later one.
#define IDC_STANDIN_TITLE 1090

// ---- Bitmaps and icons ----------------------------------------------------------
#define IDI_TAMSEL 128
#define IDI_FLAG_ENGLISH 434
#define IDB_SPLASH 239
#define IDB_SKIN_CENTER 173
#define IDB_SKIN_LEFT 174
#define IDB_SKIN_RIGHT 175
#define IDB_SKIN_BOTTOM 349
#define IDB_SKIN_TOP 350
#define IDB_CLOSE_OUT 187
#define IDB_CLOSE_IN 188
#define IDB_MINIMIZE_IN 191
#define IDB_MINIMIZE_OUT 192
#define IDB_UPDATE_OUT 359
#define IDB_UPDATE_IN 360
#define IDB_HELP_OUT 361
#define IDB_HELP_IN 362
#define IDB_EASY_IN 422
#define IDB_EASY_OUT 423
#define IDB_LINK_PICTURE 415
#define IDB_FOLDER_IMAGES 8018
#define IDB_ITEM_IMAGES 8023
