#include "core/plugins/ProgramsPlugin.h"

#include <shlobj.h>

#include <set>
#include <utility>

#include "core/shell/Shell.h"
#include "core_iface/CShellLink.h"

namespace corvantile::core {
namespace {

constexpr int kStartMenuDepth = 8;
constexpr std::size_t kMaxPrograms = 20000;

bool hasExtension(const CString& name, const char* extension) {
    const int length = static_cast<int>(strlen(extension));
    return name.GetLength() > length && name.Right(length).CompareNoCase(extension) == 0;
}

CString lowered(CString text) {
    text.MakeLower();
    return text;
}

} // namespace

ProgramsPlugin::ProgramsPlugin()
    : BasicPlugin("Programs", "Programs", "Finds the programs of the Start Menu and the Desktop",
                  {L"P", RGB(0x00, 0x78, 0xD4)}) {}

void ProgramsPlugin::setFolders(std::vector<CString> folders) {
    std::lock_guard lock(m_mutex);
    m_folders = std::move(folders);
}

std::vector<ProgramsPlugin::Root> ProgramsPlugin::roots() const {
    {
        std::lock_guard lock(m_mutex);
        if (!m_folders.empty()) {
            std::vector<Root> chosen;
            for (const CString& folder : m_folders)
                chosen.push_back({folder, kStartMenuDepth});
            return chosen;
        }
    }
    return {{specialFolder(CSIDL_PROGRAMS), kStartMenuDepth},
            {specialFolder(CSIDL_COMMON_PROGRAMS), kStartMenuDepth},
            {specialFolder(CSIDL_DESKTOPDIRECTORY), 0},
            {specialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), 0}};
}

void ProgramsPlugin::scan(VItemSink& sink) {
    ComScope com;
    // The same program is often linked from several places: list it once.
    std::set<std::pair<CString, CString>> seen;
    std::size_t count = 0;
    for (const Root& root : roots()) {
        if (root.folder.IsEmpty())
            continue;
        walkFolder(
            root.folder, root.depth,
            [&](const FolderEntry& entry) {
                if (entry.folder)
                    return true;
                VItem item;
                item.kind = VItemKind::Program;
                item.target = entry.path;
                if (hasExtension(entry.name, ".lnk")) {
                    item.name = entry.name.Left(entry.name.GetLength() - 4);
                    CShellLinkInfo info;
                    if (readShellLink(entry.path, info))
                        item.extra = info.m_strTarget;
                } else if (hasExtension(entry.name, ".exe")) {
                    item.name = entry.name.Left(entry.name.GetLength() - 4);
                } else {
                    return true;
                }
                if (!seen.insert({lowered(item.name), lowered(item.extra)}).second)
                    return true;
                sink.add(item);
                return ++count < kMaxPrograms;
            },
            [&] { return sink.cancelled(); });
    }
}

} // namespace corvantile::core
