// carray.h - the framework's growing array of values, as the dialogs hand lists to their callers.
//
// Indices run from 0 to GetSize() - 1; GetAt and operator[] of an index outside that range are
// undefined, as in the framework (the callers check GetSize first).
#pragma once

#include "wintypes.h"

#include <vector>

template <class TYPE>
class CArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_items.empty(); }
    // Appends and returns the new element's index.
    int Add(const TYPE& item)
    {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void RemoveAll() { m_items.clear(); }
    void RemoveAt(int index, int count = 1)
    {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    const TYPE& GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }
    TYPE& ElementAt(int index) { return m_items[static_cast<size_t>(index)]; }
    const TYPE& operator[](int index) const { return GetAt(index); }
    TYPE& operator[](int index) { return ElementAt(index); }
    const TYPE* GetData() const { return m_items.data(); }
    TYPE* GetData() { return m_items.data(); }

private:
    std::vector<TYPE> m_items;
};
