#pragma once
// The folders that other programs' own settings files name: the Mozilla
// programs' profiles.ini and PocoMail's poco.ini.
#include "framework/Afx.h"

// The profile folder named by "Path" of [Profile0] in <product folder>\profiles.ini:
// the part after the first '/', with a trailing backslash. FALSE when the
// value is missing, empty, cut, has no '/' or names anything but a plain
// folder below: an empty result would stand for every profile.
BOOL GetMozillaProfileDir(const CString& strProductFolder, CString& strProfileDir);

// A folder from <APPDATA>\PocoMail\poco.ini: kind 1 "AttachPath" of [Mail],
// kind 2 "AddressPath" and kind 3 "MailPath" of [Program]. A value with a
// drive stands as it is, any other lies below <APPDATA>\PocoMail\. The result
// ends in a backslash; FALSE when it is missing or no plain absolute folder.
BOOL GetPocoMailPath(int nKind, CString& strFolder);
