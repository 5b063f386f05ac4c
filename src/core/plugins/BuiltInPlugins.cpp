#include "core/plugins/BuiltInPlugins.h"

#include "core/plugins/BookmarksPlugin.h"
#include "core/plugins/CalculatorPlugin.h"
#include "core/plugins/FilesPlugin.h"
#include "core/plugins/OpenWindowsPlugin.h"
#include "core/plugins/ProgramsPlugin.h"
#include "core/plugins/SystemCommandsPlugin.h"
#include "core/plugins/WebSearchPlugin.h"

namespace corvantile::core {

std::vector<std::unique_ptr<VPlugin>> makeBuiltInPlugins() {
    std::vector<std::unique_ptr<VPlugin>> plugins;
    plugins.push_back(std::make_unique<ProgramsPlugin>());
    plugins.push_back(std::make_unique<FilesPlugin>());
    plugins.push_back(std::make_unique<BookmarksPlugin>());
    plugins.push_back(std::make_unique<WebSearchPlugin>());
    plugins.push_back(std::make_unique<SystemCommandsPlugin>());
    plugins.push_back(std::make_unique<CalculatorPlugin>());
    plugins.push_back(std::make_unique<OpenWindowsPlugin>());
    return plugins;
}

} // namespace corvantile::core
