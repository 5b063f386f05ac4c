#include "core_iface/CPath.h"

#include "support/path_split.h"

namespace support = corvantile::support;

CPath::CPath(const char* path, int, int) : m_path(path) {
    const support::PathParts parts = support::split_path(m_path.str());
    m_drive = CString(parts.drive);
    for (const std::string& dir : parts.dirs)
        m_dirs.emplace_back(dir);
    m_fileName = CString(parts.file_name);
    m_location = CString(parts.location());
}

CString CPath::GetDrive() const {
    return m_drive;
}

int CPath::GetDirCount() const {
    return static_cast<int>(m_dirs.size());
}

CString CPath::GetDir(int index) const {
    if (index < 0 || index >= GetDirCount())
        return CString();
    return m_dirs[static_cast<size_t>(index)];
}

CString CPath::GetFileName() const {
    return m_fileName;
}

CString CPath::GetLocation() const {
    return m_location;
}

CString CPath::AddBackSlash(const char* path, int) {
    return CString(support::add_back_slash(path ? path : ""));
}
