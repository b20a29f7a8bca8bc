#pragma once
// Array and map collections with the members the program's code uses.
// Out-of-range indexes are ignored by writers and read as a default value.
#include "framework/String.h"
#include <map>
#include <utility>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray
{
public:
    CArray() {}
    virtual ~CArray() {}
    CArray(const CArray& other) : m_items(other.m_items) {}
    CArray& operator=(const CArray& other) { m_items = other.m_items; return *this; }

    INT_PTR GetSize() const { return (INT_PTR)m_items.size(); }
    INT_PTR GetCount() const { return (INT_PTR)m_items.size(); }
    INT_PTR GetUpperBound() const { return (INT_PTR)m_items.size() - 1; }
    BOOL IsEmpty() const { return m_items.empty(); }
    void SetSize(INT_PTR nNewSize, INT_PTR /*nGrowBy*/ = -1) { m_items.resize(nNewSize < 0 ? 0 : (size_t)nNewSize); }
    void RemoveAll() { m_items.clear(); }
    void FreeExtra() { m_items.shrink_to_fit(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_items[Check(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_items[Check(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { if (InRange(nIndex)) m_items[nIndex] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_items[Check(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_items[Check(nIndex)]; }
    TYPE* GetData() { return m_items.empty() ? nullptr : m_items.data(); }
    const TYPE* GetData() const { return m_items.empty() ? nullptr : m_items.data(); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex < 0)
            return;
        if ((size_t)nIndex >= m_items.size())
            m_items.resize(nIndex + 1);
        m_items[nIndex] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement) { m_items.push_back(newElement); return GetUpperBound(); }
    INT_PTR Append(const CArray& src) { INT_PTR n = GetSize(); m_items.insert(m_items.end(), src.m_items.begin(), src.m_items.end()); return n; }
    void Copy(const CArray& src) { m_items = src.m_items; }

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0)
            return;
        if ((size_t)nIndex > m_items.size())
            m_items.resize(nIndex);
        m_items.insert(m_items.begin() + nIndex, (size_t)nCount, TYPE(newElement));
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        if (!pNewArray || nStartIndex < 0)
            return;
        if ((size_t)nStartIndex > m_items.size())
            m_items.resize(nStartIndex);
        m_items.insert(m_items.begin() + nStartIndex, pNewArray->m_items.begin(), pNewArray->m_items.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0 || (size_t)nIndex >= m_items.size())
            return;
        size_t nEnd = std::min(m_items.size(), (size_t)(nIndex + nCount));
        m_items.erase(m_items.begin() + nIndex, m_items.begin() + nEnd);
    }

    // Range-for support.
    typename std::vector<TYPE>::iterator begin() { return m_items.begin(); }
    typename std::vector<TYPE>::iterator end() { return m_items.end(); }
    typename std::vector<TYPE>::const_iterator begin() const { return m_items.begin(); }
    typename std::vector<TYPE>::const_iterator end() const { return m_items.end(); }

private:
    bool InRange(INT_PTR nIndex) const { return nIndex >= 0 && (size_t)nIndex < m_items.size(); }
    // Reading past the end hands back a spare default element instead of corrupting memory.
    size_t Check(INT_PTR nIndex) const
    {
        if (InRange(nIndex))
            return (size_t)nIndex;
        ASSERT(FALSE);
        if (m_items.empty())
            const_cast<std::vector<TYPE>&>(m_items).resize(1);
        return m_items.size() - 1;
    }
    std::vector<TYPE> m_items;
};

class CStringArray : public CArray<CString, LPCWSTR>
{
};
typedef CArray<void*, void*> CPtrArray;
typedef CArray<DWORD, DWORD> CDWordArray;
typedef CArray<UINT, UINT> CUIntArray;
typedef CArray<WORD, WORD> CWordArray;
typedef CArray<BYTE, BYTE> CByteArray;

// A sorted map; positions stay valid while the map is not changed.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap
{
public:
    INT_PTR GetCount() const { return (INT_PTR)m_map.size(); }
    INT_PTR GetSize() const { return (INT_PTR)m_map.size(); }
    BOOL IsEmpty() const { return m_map.empty(); }
    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        auto it = m_map.find(KEY(key));
        if (it == m_map.end())
            return FALSE;
        rValue = it->second;
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key) { return m_map[KEY(key)]; }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { m_map[KEY(key)] = newValue; }
    BOOL RemoveKey(ARG_KEY key) { return m_map.erase(KEY(key)) > 0; }
    void RemoveAll() { m_map.clear(); }

    POSITION GetStartPosition() const
    {
        return m_map.empty() ? NULL : ToPosition(m_map.begin());
    }
    void GetNextAssoc(POSITION& rPos, KEY& rKey, VALUE& rValue) const
    {
        auto pEntry = reinterpret_cast<const std::pair<const KEY, VALUE>*>(rPos);
        rKey = pEntry->first;
        rValue = pEntry->second;
        auto it = m_map.find(pEntry->first);
        ++it;
        rPos = (it == m_map.end()) ? NULL : ToPosition(it);
    }

private:
    typedef std::map<KEY, VALUE> Map;
    static POSITION ToPosition(typename Map::const_iterator it)
    {
        return reinterpret_cast<POSITION>(const_cast<std::pair<const KEY, VALUE>*>(&*it));
    }
    Map m_map;
};
