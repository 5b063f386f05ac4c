#include "core_iface/CPath.h"

namespace engine = corvantile::engine;

CPath::CPath(const char* path, int, int)
    : m_path(path), m_parts(engine::split_path(m_path.str())) {}

CString CPath::GetDrive() const {
    return CString(m_parts.drive);
}

int CPath::GetDirCount() const {
    return static_cast<int>(m_parts.dirs.size());
}

CString CPath::GetDir(int index) const {
    if (index < 0 || index >= GetDirCount())
        return CString();
    return CString(m_parts.dirs[static_cast<size_t>(index)]);
}

CString CPath::GetFileName() const {
    return CString(m_parts.file_name);
}

CString CPath::GetLocation() const {
    return CString(m_parts.location());
}

CString CPath::AddBackSlash(const char* path, int) {
    return CString(engine::add_back_slash(path ? path : ""));
}
