#include "core_iface/CShellLink.h"
#include "framework/Win32Handles.h"

#include <string>
#include <utility>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

// Room for the longest path Windows allows, and for a link's comment.
constexpr int kPathChars = 32768;
constexpr int kCommentChars = INFOTIPSIZE;

} // namespace

void CShellLink::Release::operator()(IShellLinkW* link) const {
    link->Release();
}

CShellLink::CShellLink() = default;

CShellLink::~CShellLink() = default;

BOOL CShellLink::Create(const CShellLinkInfo& info) {
    m_link.reset();
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out_void())))
        return FALSE;
    if (FAILED(link->SetPath(info.m_strTarget.W().c_str())) ||
        FAILED(link->SetDescription(info.m_strDescription.W().c_str())) ||
        FAILED(link->SetWorkingDirectory(info.m_strWorkingDir.W().c_str())))
        return FALSE;
    m_link.reset(link.release());
    return TRUE;
}

BOOL CShellLink::Save(const CString& linkFile) {
    if (!m_link || linkFile.IsEmpty())
        return FALSE;
    ComRef<IPersistFile> file;
    if (FAILED(m_link->QueryInterface(IID_IPersistFile, file.out_void())))
        return FALSE;
    return SUCCEEDED(file->Save(linkFile.W().c_str(), TRUE)) ? TRUE : FALSE;
}

bool readShellLink(const CString& linkFile, CShellLinkInfo& out) {
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (linkFile.IsEmpty() ||
        FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.out_void())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.out_void())) ||
        FAILED(file->Load(linkFile.W().c_str(), STGM_READ)))
        return false;

    std::wstring text(kPathChars, L'\0');
    CShellLinkInfo read;
    if (link->GetPath(text.data(), kPathChars, nullptr, 0) == S_OK)
        read.m_strTarget = CString::FromW(text.c_str());
    text.assign(kPathChars, L'\0');
    if (SUCCEEDED(link->GetDescription(text.data(), kCommentChars)))
        read.m_strDescription = CString::FromW(text.c_str());
    text.assign(kPathChars, L'\0');
    if (SUCCEEDED(link->GetWorkingDirectory(text.data(), kPathChars)))
        read.m_strWorkingDir = CString::FromW(text.c_str());
    out = read;
    return true;
}
