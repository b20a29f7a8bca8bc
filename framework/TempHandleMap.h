#pragma once
// Per-thread store of temporary wrappers handed out by FromHandle. A
// temporary never owns its handle: it is detached before it is destroyed.
#include <map>
#include <memory>
#include <typeinfo>
#include <utility>
#include "framework/AfxDefs.h"

template <class TBase>
class CTempHandleMap
{
public:
    CTempHandleMap() = default;
    ~CTempHandleMap() { Purge(); }

    template <class T, class THandle>
    T* Lookup(THandle hHandle)
    {
        if (hHandle == NULL)
            return NULL;
        Key key((HANDLE)hHandle, &typeid(T));
        auto it = m_mapWrappers.find(key);
        if (it != m_mapWrappers.end())
            return static_cast<T*>(it->second.get());
        std::unique_ptr<T> pWrapper(new T);
        pWrapper->Attach(hHandle);
        T* pResult = pWrapper.get();
        m_mapWrappers.emplace(key, std::move(pWrapper));
        return pResult;
    }

    void Purge()
    {
        for (auto& entry : m_mapWrappers)
            entry.second->Detach();
        m_mapWrappers.clear();
    }

    size_t GetCount() const { return m_mapWrappers.size(); }

private:
    typedef std::pair<HANDLE, const std::type_info*> Key;
    std::map<Key, std::unique_ptr<TBase>> m_mapWrappers;

    CTempHandleMap(const CTempHandleMap&) = delete;
    CTempHandleMap& operator=(const CTempHandleMap&) = delete;
};
