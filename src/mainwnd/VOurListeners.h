// The two listeners that the search bar registers with the core. The core calls them on its
// own threads; each holds only a pointer back to the bar, which lets through the elements of
// the search it waits for.
#pragma once

#include "core_iface/VListener.h"

class CCorvantileDlg;

class VOurResultListener : public VResultListener {
public:
    explicit VOurResultListener(CCorvantileDlg* owner) : m_owner(owner) {}

    void deleteThis() override { delete this; }
    void elementFound(DWORD searchId, VElement* element) override;
    void elementsFound(DWORD searchId, VElement** elements, int count) override;

private:
    CCorvantileDlg* m_owner;
};

class VOurActionListener : public VActionListener {
public:
    explicit VOurActionListener(CCorvantileDlg* owner) : m_owner(owner) {}

    void deleteThis() override { delete this; }
    void elementFound(DWORD searchId, VElement* element) override;

private:
    CCorvantileDlg* m_owner;
};
