#pragma once
// Folder links planted from the host (ln -s): Wine shows a linked folder as a
// reparse point, and CreateSymbolicLinkW makes nothing under Wine.
#include <string>

namespace testsupport {

// A host symbolic link at strLink to strTarget (both Windows paths).
bool HostLink(const std::wstring& strTarget, const std::wstring& strLink);

// A host link removed again when it goes (declare it after the scratch folder:
// the folder's removal would walk through a link it finds).
class CHostLink
{
public:
    CHostLink(const std::wstring& strTarget, const std::wstring& strLink);
    ~CHostLink();
    CHostLink(const CHostLink&) = delete;
    CHostLink& operator=(const CHostLink&) = delete;
    bool IsMade() const { return m_bMade; }

private:
    std::string m_strUnixLink;
    bool m_bMade;
};

} // namespace testsupport
