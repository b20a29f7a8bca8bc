#include "services/SortedStringArray.h"
#include <algorithm>
#include <vector>

void CSortedStringArray::Sort()
{
    // A stable sort keeps equal strings in their original order, so keeping the
    // first of each equal run gives what neighbour exchange would, in n log n.
    std::vector<CString> items(begin(), end());
    std::stable_sort(items.begin(), items.end(),
                     [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    auto last = std::unique(items.begin(), items.end(),
                            [](const CString& a, const CString& b) { return a.CompareNoCase(b) == 0; });
    items.erase(last, items.end());

    RemoveAll();
    for (const CString& str : items)
        Add(str);
}
