// The index cache: a cache written by a previous run answers the first search of the next
// one before any scan; a damaged cache is not trusted.
#include <fstream>

#include "core/engine/catalog/index_cache.h"
#include "core_test_support.h"

using namespace core_test;

namespace {

class CoreCache : public CoreFixture {
protected:
    // Restarts the core with a plug-in that finds nothing (and counts its scans).
    ItemsPlugin* restartWithEmptyPlugin() {
        stopCore();
        auto empty = std::make_unique<ItemsPlugin>(std::vector<VItem>{});
        ItemsPlugin* plugin = empty.get();
        startCore(only(std::move(empty)), {}, false);
        return plugin;
    }
};

TEST_F(CoreCache, APreviousRunsCacheAnswersTheFirstSearch) {
    startCore(only(std::make_unique<ItemsPlugin>(
        std::vector<VItem>{textItem("Aardvark Atlas", "a"), fileItem("Notes", "C:\\Notes.txt")})));
    ASSERT_TRUE(std::filesystem::exists(cacheFolder.path() / "Corvantile.cache"));

    ItemsPlugin* plugin = restartWithEmptyPlugin();
    EXPECT_EQ(results.titles(searchAndWait("aardvark")), std::vector<CString>{"Aardvark Atlas"});
    EXPECT_EQ(plugin->scans.load(), 0);

    // A rebuild replaces the cached items with what the plug-in finds now.
    core->updateCache();
    EXPECT_EQ(plugin->scans.load(), 1);
    EXPECT_TRUE(results.titles(searchAndWait("aardvark")).empty());
}

// A loaded cache stays mapped while its items are in use, and Windows does not replace a
// mapped file: the save renames it aside instead, and the next load clears that away.
TEST(IndexCacheFile, ACacheInUseIsReplacedBySavingItAside) {
    using namespace corvantile::engine;
    const wintest::TempFolder folder("Фото 2024 cache");
    const auto file = folder.path() / "Corvantile.cache";
    const std::vector<ItemData> first{
        {"naïve café.txt", "C:\\Фото 2024\\naïve café.txt", "", "files", 1}};
    const std::vector<ItemData> second{{"a&b.txt", "C:\\Docs\\a&b.txt", "", "files", 1}};
    ASSERT_TRUE(save_index_cache(file, *build_snapshot(first)));
    const auto inUse = load_index_cache(file);
    ASSERT_TRUE(inUse);
    ASSERT_TRUE(save_index_cache(file, *build_snapshot(second)));
    std::string room;
    EXPECT_EQ(inUse->view(0, room).name, "naïve café.txt") << "the mapped items are still readable";
    const auto reloaded = load_index_cache(file);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->view(0, room).name, "a&b.txt");
}

TEST_F(CoreCache, ADamagedCacheIsIgnored) {
    startCore(only(std::make_unique<ItemsPlugin>(std::vector<VItem>{textItem("Aardvark", "a")})));
    {
        std::fstream file(cacheFolder.path() / "Corvantile.cache",
                          std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(40);
        file.put('\x7F');
    }
    restartWithEmptyPlugin();
    EXPECT_TRUE(results.titles(searchAndWait("aardvark")).empty());
}

TEST_F(CoreCache, ItemsOfPluginsThatAreGoneAreNotShown) {
    startCore(only(
        std::make_unique<ItemsPlugin>(std::vector<VItem>{textItem("Aardvark", "a")}, "Former")));
    restartWithEmptyPlugin();
    EXPECT_TRUE(results.titles(searchAndWait("aardvark")).empty());
}

} // namespace
