#pragma once
// The application object's calls into the text file, path and scheduled task
// services, in one place: when a service is not part of the build yet, a small
// equivalent stands in for it here.
#include "framework/Afx.h"

// Every line of a text file (byte-order mark detected), line feeds dropped.
void ReadTextFileLines(const CString& strFile, CStringArray& arrLines);
// A path text cleaned as the path string class cleans what it is assigned.
CString CleanPathText(const CString& strPath);
// The folder of a path, root included ("C:\" for a file in the root).
CString GetPathFolder(const CString& strPath);
// Saves a weekly job that starts strProgram; the job's HRESULT.
HRESULT SaveWeeklyTask(const CString& strName, const CString& strProgram, const CString& strFolder,
                       const CString& strComment, const SYSTEMTIME& stStart);
