#pragma once
// Resource ids of the control kit's test dialog and pictures.
#define IDD_SKIN_TEST 900
#define IDB_TEST_SCAN_HOT 901
#define IDB_TEST_SCAN 902
#define IDB_TEST_CATEGORY 903
#define IDB_TEST_TASK 904

#define IDC_TEST_BUTTON 1001
#define IDC_TEST_CHECK 1002
#define IDC_TEST_PLAIN 1003
#define IDC_TEST_TASK 1004
#define IDC_TEST_TASK2 1005
#define IDC_TEST_CAPTION 1006
#define IDC_TEST_INSIDE 1007
#define IDC_TEST_OUTSIDE 1008
#define IDC_TEST_LIST 1009
#define IDC_TEST_LISTBOX 1010
#define IDC_TEST_CHECK2 1011
#define IDC_TEST_DISABLED 1012
