#pragma once
// The category scanners, each run by the scan worker with the scan's context.
#include "scanner/ScanContext.h"

// Category 1, ActiveX/OLE/COM.
void ScanComObjects(CScanContext& scan);

typedef void (*ScanCategoryProc)(CScanContext& scan);
// The scanner of a category (1..15); NULL for a category without one yet.
ScanCategoryProc GetCategoryScanner(int nCategory);
