// Programs: the shortcuts of the Start Menu and the Desktop, the user's and all users', with
// the programs they start resolved.
#pragma once

#include <mutex>
#include <vector>

#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

class ProgramsPlugin final : public BasicPlugin {
public:
    ProgramsPlugin();
    void scan(VItemSink& sink) override;

    // Folders to look in instead of the system's (for tests); empty: the system's.
    void setFolders(std::vector<CString> folders);

private:
    struct Root {
        CString folder;
        int depth;
    };
    std::vector<Root> roots() const;

    mutable std::mutex m_mutex;
    std::vector<CString> m_folders;
};

} // namespace corvantile::core
