// A growable array in the classic class-library shape, over std::vector.
#pragma once

#include <vector>

#include "framework/CString.h"

template <class T, class ARG_T = const T&> class CArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    void SetSize(int size) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }
    // Appends and returns the new element's index.
    int Add(ARG_T item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void RemoveAll() { m_items.clear(); }

    const T& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    T& ElementAt(int index) { return m_items.at(static_cast<size_t>(index)); }
    void SetAt(int index, ARG_T item) { m_items.at(static_cast<size_t>(index)) = item; }
    const T& operator[](int index) const { return GetAt(index); }
    T& operator[](int index) { return ElementAt(index); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

using CStringArray = CArray<CString, const CString&>;
