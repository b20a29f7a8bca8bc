#pragma once
// Resource ids of the control kit's test executable.
#define IDR_TEST_THREE_FRAMES 901
#define IDR_TEST_STILL_BMP 902
#define IDD_SKINB_TEST 910
#define IDC_TEST_LABEL 1030
#define IDC_TEST_LINK 1031
#define IDC_TEST_LINK_EMPTY 1032
#define IDC_TEST_SEGMENT 1075
#define IDC_TEST_GIF 1106
#define IDC_TEST_BUSY 1027
