// Open Windows: the windows of the programs that run, found by their titles as they are at the
// moment of the search; the default action switches to one, another closes it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/actions/CoreAction.h"
#include "core/plugins/BasicPlugin.h"
#include "core/plugins/OpenWindows.h"

namespace corvantile::core {

class OpenWindowsPlugin final : public BasicPlugin {
public:
    OpenWindowsPlugin();
    ~OpenWindowsPlugin() override;

    bool searchesLive() override { return true; }
    void scan(VItemSink& sink) override;
    std::vector<VAction*> getActions() override;

    // The windows to offer instead of the system's (for tests).
    void setLister(std::function<std::vector<OpenWindow>()> lister);

private:
    std::function<std::vector<OpenWindow>()> m_lister;
    std::vector<std::unique_ptr<CoreAction>> m_actions;
};

} // namespace corvantile::core
