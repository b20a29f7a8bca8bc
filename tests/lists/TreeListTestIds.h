#pragma once
// Ids of the tree list test resources.
#define IDD_TREELIST_TEST   3101
#define IDC_TREELIST_TEST   1113
