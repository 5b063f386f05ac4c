// Owners of the Win32 handles that have no window or GDI wrapper of their own: an icon the
// program made or loaded, a file enumeration, a registry key, a COM reference and kernel objects
// closed with CloseHandle.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include <windows.h>

struct IconDeleter {
    void operator()(HICON icon) const {
        if (icon)
            DestroyIcon(icon);
    }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// Ends an enumeration (FindFirstFileExW) however the walk over it leaves.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : m_handle(handle) {}
    ~FindHandle() {
        if (valid())
            FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// An open registry key, closed however the reading leaves.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    // Opens root\subkey for reading; false when it is not there.
    bool open(HKEY root, const wchar_t* subkey) {
        return RegOpenKeyExW(root, subkey, 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// Owns one reference to a COM object.
template <class Interface> class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_object)
            m_object->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return m_object; }
    Interface* get() const { return m_object; }
    void** out_void() { return reinterpret_cast<void**>(&m_object); }
    Interface** out() { return &m_object; }
    // Hands the reference over to the caller.
    Interface* release() { return std::exchange(m_object, nullptr); }

private:
    Interface* m_object = nullptr;
};

// A kernel object (file, event, thread ...) closed with CloseHandle; null and
// INVALID_HANDLE_VALUE both mean none.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : m_handle(handle) {}
    ~KernelHandle() { reset(); }
    KernelHandle(KernelHandle&& other) noexcept : m_handle(other.m_handle) {
        other.m_handle = nullptr;
    }
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    bool valid() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    void reset() {
        if (valid())
            CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};
