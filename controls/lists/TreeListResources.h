#pragma once
// Resource ids of the tree list and its header (resources/treelist.rc2).
#define IDB_TREELIST_CHECKBOXES      273   // 16 x 16: unchecked, checked, partly; magenta key
#define IDB_TREELIST_BACKGROUND      8000
#define IDB_TREELIST_BACKGROUND_OFF  8011  // disabled window
#define IDB_TREELIST_ITEMIMAGES      8008  // four 16 x 16 item images, white key
#define IDB_TREELIST_HEADERIMAGES    8010  // 16 x 16 column images, magenta key
#define IDB_TREELIST_HEADERARROWS    8044  // 8 x 8 sort arrows, magenta key
#define IDC_TREELIST_BUTTON          8005  // cursor over an expand button
#define IDC_TREELIST_CHECK           8006  // cursor over a check box
#define IDC_TREELIST_HEADER_SIZE     8002  // cursor over a header divider
#define IDC_TREELIST_HEADER_DRAG     8011  // cursor while moving a heading
