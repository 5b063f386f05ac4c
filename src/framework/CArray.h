// A growable array in the classic class-library shape, over std::vector.
#pragma once

#include <vector>

#include "framework/CString.h"

template <class T, class ARG_T = const T&> class CArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }

    void SetSize(int size) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }
    // Appends and returns the new element's index.
    int Add(ARG_T item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }
    void InsertAt(int index, ARG_T item, int count = 1) {
        m_items.insert(m_items.begin() + index, static_cast<size_t>(count), item);
    }
    void RemoveAt(int index, int count = 1) {
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }
    void RemoveAll() { m_items.clear(); }

    const T& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    T& ElementAt(int index) { return m_items.at(static_cast<size_t>(index)); }
    void SetAt(int index, ARG_T item) { m_items.at(static_cast<size_t>(index)) = item; }
    const T& operator[](int index) const { return GetAt(index); }
    T& operator[](int index) { return ElementAt(index); }

    T* GetData() { return m_items.data(); }
    const T* GetData() const { return m_items.data(); }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<T> m_items;
};

using CStringArray = CArray<CString, const CString&>;
