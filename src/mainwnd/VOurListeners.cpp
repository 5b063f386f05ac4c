#include "mainwnd/VOurListeners.h"

#include "mainwnd/CorvantileDlg.h"

void VOurResultListener::elementFound(DWORD searchId, VElement* element) {
    m_owner->deliverElements(searchId, &element, 1, false);
}

void VOurResultListener::elementsFound(DWORD searchId, VElement** elements, int count) {
    m_owner->deliverElements(searchId, elements, count, true);
}

void VOurActionListener::elementFound(DWORD searchId, VElement* element) {
    m_owner->deliverElements(searchId, &element, 1, false);
}
