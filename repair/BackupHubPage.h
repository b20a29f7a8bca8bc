#pragma once
// The entry page of the backups: three large task buttons that open the
// automatic backup, full backup and favorites backup pages.
#include "app/LauncherPages.h"

class CBackupHubPage : public CLauncherPage
{
public:
    CBackupHubPage();

protected:
    afx_msg void OnAutoBackup();
    afx_msg void OnFullBackup();
    afx_msg void OnFavorites();
    DECLARE_MESSAGE_MAP()
};
