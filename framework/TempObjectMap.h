#pragma once
// Per-thread temporary wrappers, as FromHandle hands them out: one per
// handle and wrapper class, so a temporary is always of the class asked for.
// A temporary never owns its handle: TTraits::Unbind clears it before the
// wrapper is deleted. Each user keeps its own plain thread_local pointer to
// the map (MinGW runs destructors of thread_local objects after their
// storage is gone).
//
// TTraits: static void Bind(TBase&, THandle); static void Unbind(TBase&).
#include <map>
#include <typeinfo>
#include <utility>

// Arranges for this thread's temporaries to be freed when it ends, also when
// the framework did not start it (MessageLoop.cpp).
void AfxNoteThreadTemporaries();
void AfxTempMapCreated(int nDelta);

template <class TBase, class THandle, class TTraits>
class CTempObjectMap
{
public:
    typedef TBase* (*PFN_CREATE)();

    CTempObjectMap() { AfxTempMapCreated(1); }
    ~CTempObjectMap()
    {
        Purge();
        AfxTempMapCreated(-1);
    }

    // The map behind a thread's pointer, made on first use.
    static CTempObjectMap& Of(CTempObjectMap*& rpMap)
    {
        if (rpMap == NULL)
        {
            rpMap = new CTempObjectMap;
            AfxNoteThreadTemporaries();
        }
        return *rpMap;
    }

    template <class T = TBase>
    T* Lookup(THandle hHandle)
    {
        return static_cast<T*>(Lookup(hHandle, typeid(T), []() -> TBase* { return new T; }));
    }

    // The wrapper of that class for the handle, made by pfnCreate when new.
    TBase* Lookup(THandle hHandle, const std::type_info& type, PFN_CREATE pfnCreate)
    {
        if (hHandle == NULL)
            return NULL;
        Key key(hHandle, &type);
        auto it = m_map.find(key);
        if (it != m_map.end())
            return it->second;
        TBase* pObject = pfnCreate();
        TTraits::Bind(*pObject, hHandle);
        m_map.emplace(key, pObject);
        return pObject;
    }

    void Purge()
    {
        // Swapped out first: a destructor may look up another temporary.
        std::map<Key, TBase*> map;
        map.swap(m_map);
        for (auto& entry : map)
        {
            TTraits::Unbind(*entry.second);
            delete entry.second;
        }
    }

    size_t GetCount() const { return m_map.size(); }

private:
    typedef std::pair<THandle, const std::type_info*> Key;
    std::map<Key, TBase*> m_map;

    CTempObjectMap(const CTempObjectMap&) = delete;
    CTempObjectMap& operator=(const CTempObjectMap&) = delete;
};
