#pragma once
// The category scanners, each run by the scan worker with the scan's context.
#include "scanner/ScanContext.h"

// Category 1, ActiveX/OLE/COM.
void ScanComObjects(CScanContext& scan);
void ScanUninstallEntries(CScanContext& scan);    // 2
void ScanAppPaths(CScanContext& scan);            // 3
void ScanFonts(CScanContext& scan);               // 4
void ScanSharedDlls(CScanContext& scan);          // 5
void ScanHelpFiles(CScanContext& scan);           // 6
void ScanServices(CScanContext& scan);            // 7
void ScanShortcuts(CScanContext& scan);           // 8
void ScanFileAssociations(CScanContext& scan);    // 9
void ScanSounds(CScanContext& scan);              // 10
void ScanMruLists(CScanContext& scan);            // 11
void ScanStartupItems(CScanContext& scan);        // 12, Start-menu MenuOrder keys
void ScanDrivers(CScanContext& scan);             // 13
void ScanFileExtensions(CScanContext& scan);      // 14
void ScanEmptyKeys(CScanContext& scan);           // 15

typedef void (*ScanCategoryProc)(CScanContext& scan);
// The scanner of a category (1..15); NULL for a category without one yet.
ScanCategoryProc GetCategoryScanner(int nCategory);
