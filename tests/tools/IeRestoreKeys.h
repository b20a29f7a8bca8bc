#pragma once
// The keys the Internet Explorer repairs write or remove, as both of their
// test files plant and check them.
#include <wchar.h>

namespace ierestoretest {

// As the page writes it, in both hives.
const wchar_t kIeMain[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const wchar_t kSystem[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const wchar_t kRestrictions[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const wchar_t kControlPanel[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
const wchar_t kMenuExt[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedUrls";
const wchar_t kToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";

} // namespace ierestoretest
