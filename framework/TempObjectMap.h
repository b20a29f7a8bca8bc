#pragma once
// Per-thread temporary wrappers of one class, one per handle, as FromHandle
// hands them out. A temporary never owns its handle: the handle member is
// cleared before the wrapper is deleted. Each user keeps its own plain
// thread_local pointer to the map (MinGW runs destructors of thread_local
// objects after their storage is gone).
#include <type_traits>
#include <unordered_map>
#include <utility>

template <class TObject, auto pmHandle>
class CTempObjectMap
{
public:
    typedef std::remove_reference_t<decltype(std::declval<TObject&>().*pmHandle)> THandle;

    CTempObjectMap() = default;
    ~CTempObjectMap() { Purge(); }

    // The map behind a thread's pointer, made on first use.
    static CTempObjectMap& Of(CTempObjectMap*& rpMap)
    {
        if (rpMap == NULL)
            rpMap = new CTempObjectMap;
        return *rpMap;
    }

    TObject* Lookup(THandle hHandle)
    {
        auto it = m_map.find(hHandle);
        if (it != m_map.end())
            return it->second;
        TObject* pObject = new TObject;
        pObject->*pmHandle = hHandle;
        m_map.emplace(hHandle, pObject);
        return pObject;
    }

    void Purge()
    {
        // Swapped out first: a destructor may look up another temporary.
        std::unordered_map<THandle, TObject*> map;
        map.swap(m_map);
        for (auto& entry : map)
        {
            entry.second->*pmHandle = NULL;
            delete entry.second;
        }
    }

private:
    std::unordered_map<THandle, TObject*> m_map;

    CTempObjectMap(const CTempObjectMap&) = delete;
    CTempObjectMap& operator=(const CTempObjectMap&) = delete;
};
