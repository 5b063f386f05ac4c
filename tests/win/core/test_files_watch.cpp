// Watching folders: the watcher hands over creations, renames and deletions, asks for a rescan
// when changes were lost or a root came back, and the index (and its cache) follow.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>

#include "core/engine/catalog/index_cache.h"
#include "core/files/FolderWatcher.h"
#include "core/plugins/FilesPlugin.h"
#include "core_test_support.h"

using namespace core_test;
using corvantile::core::FilesPlugin;
using corvantile::core::FilesSettings;
using corvantile::core::FolderWatcher;

namespace {

// Waits up to twenty seconds for done(): changes arrive within a second or two, but a busy
// machine may hand them over late.
bool eventually(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (GetTickCount64() < deadline) {
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

// What a watcher handed over, as "+path", "-path" and "rescan path".
class Recorder {
public:
    FolderWatcher::Callbacks callbacks() {
        return {[this](const std::wstring&, const std::vector<FolderWatcher::Change>& changes) {
                    std::lock_guard lock(m_mutex);
                    for (const auto& change : changes)
                        m_seen.push_back((change.added ? "+" : "-") +
                                         CString::FromW(change.path.c_str()));
                },
                [this](const std::wstring& root) {
                    std::lock_guard lock(m_mutex);
                    m_seen.push_back("rescan " + CString::FromW(root.c_str()));
                }};
    }
    bool has(const CString& text) const {
        std::lock_guard lock(m_mutex);
        return std::find(m_seen.begin(), m_seen.end(), text) != m_seen.end();
    }
    std::vector<CString> seen() const {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<CString> m_seen;
};

FolderWatcher::Timing quick() {
    FolderWatcher::Timing timing;
    timing.quiet = std::chrono::milliseconds(50);
    timing.retry = std::chrono::milliseconds(200);
    return timing;
}

TEST(FolderWatcher, CreationsRenamesAndDeletionsAreHandedOver) {
    TempFolder data;
    Recorder recorder;
    const FolderWatcher watcher({data.text().W()}, recorder.callbacks(), quick());
    ASSERT_TRUE(eventually([&] { return watcher.watching() == 1; }));

    data.write("Фото 2024/naïve café.txt", "x");
    const CString file = data.file("Фото 2024\\naïve café.txt");
    ASSERT_TRUE(eventually([&] { return recorder.has("+" + file); }));
    EXPECT_TRUE(recorder.has("+" + data.file("Фото 2024")));
    const CString renamed = data.file("Фото 2024\\a&b.txt");
    ASSERT_TRUE(MoveFileW(file.W().c_str(), renamed.W().c_str()));
    ASSERT_TRUE(eventually([&] { return recorder.has("+" + renamed); }));
    EXPECT_TRUE(recorder.has("-" + file));
    ASSERT_TRUE(DeleteFileW(renamed.W().c_str()));
    ASSERT_TRUE(eventually([&] { return recorder.has("-" + renamed); }));
    for (const CString& seen : recorder.seen())
        EXPECT_NE(seen.Left(6), "rescan") << "nothing was lost";
}

TEST(FolderWatcher, AnOverflowAsksForARescanOfThatRootAlone) {
    TempFolder busy, calm;
    Recorder recorder;
    FolderWatcher::Timing timing = quick();
    timing.bufferBytes = 256;
    const FolderWatcher watcher({busy.text().W(), calm.text().W()}, recorder.callbacks(), timing);
    ASSERT_TRUE(eventually([&] { return watcher.watching() == 2; }));
    // Each name alone is longer than the buffer, so the watcher loses changes however quickly
    // it reads them.
    const std::string longName(140, 'n');
    for (int i = 0; i < 20; ++i)
        busy.write(longName + " " + std::to_string(i) + ".txt", "x");
    ASSERT_TRUE(eventually([&] { return recorder.has("rescan " + busy.text()); }));
    EXPECT_FALSE(recorder.has("rescan " + calm.text()));
}

TEST(FolderWatcher, ARootThatGoesAndComesBackIsReadAgainQuietly) {
    TempFolder parent;
    const CString root = parent.file("drive\\stick");
    Recorder recorder;
    // Missing at the start: watched from when it appears.
    const FolderWatcher watcher({root.W()}, recorder.callbacks(), quick());
    Sleep(300);
    EXPECT_EQ(watcher.watching(), 0);
    EXPECT_TRUE(recorder.seen().empty());
    parent.write("drive/stick/first.txt", "x");
    ASSERT_TRUE(eventually([&] { return recorder.has("rescan " + root); }));
    ASSERT_TRUE(eventually([&] { return watcher.watching() == 1; }));

    // The folder holding it goes away, as a drive that is taken out, and comes back.
    const CString drive = parent.file("drive"), away = parent.file("away");
    ASSERT_TRUE(MoveFileW(drive.W().c_str(), away.W().c_str()));
    ASSERT_TRUE(eventually([&] { return watcher.watching() == 0; }));
    const auto before = recorder.seen().size();
    parent.write("away/stick/second.txt", "x");
    ASSERT_TRUE(MoveFileW(away.W().c_str(), drive.W().c_str()));
    ASSERT_TRUE(eventually([&] { return recorder.seen().size() > before; }));
    EXPECT_EQ(recorder.seen().back(), "rescan " + root);
    EXPECT_TRUE(eventually([&] { return watcher.watching() == 1; }));
}

class FilesWatch : public CoreFixture {};

TEST_F(FilesWatch, TheIndexAndItsCacheFollowTheFolders) {
    TempFolder data;
    data.write("vqx/zebra one.txt", "x");
    data.write("node_modules/zebra two.txt", "x");
    auto plugin = std::make_unique<FilesPlugin>();
    FilesSettings settings;
    settings.folders = {data.text()};
    settings.extensions = {"txt"};
    plugin->setSettings(settings);
    startCore(only(std::move(plugin)));
    EXPECT_EQ(results.titles(searchAndWait("zebra")), std::vector<CString>{"zebra one.txt"});

    // A new file, a file in an excluded folder, one of another extension.
    data.write("Ångström Daten/quokka späť.txt", "x");
    data.write("node_modules/quokka hidden.txt", "x");
    data.write("quokka.pdf", "x");
    ASSERT_TRUE(eventually([&] { return results.titles(searchAndWait("quokka")).size() == 1; }));
    EXPECT_EQ(results.titles(searchAndWait("quokka")), std::vector<CString>{"quokka späť.txt"});

    // A renamed folder takes its files along; a deleted file goes.
    ASSERT_TRUE(MoveFileW(data.file("vqx").W().c_str(), data.file("jkz").W().c_str()));
    ASSERT_TRUE(DeleteFileW(data.file("Ångström Daten\\quokka späť.txt").W().c_str()));
    ASSERT_TRUE(eventually([&] {
        return results.titles(searchAndWait("quokka")).empty() &&
               results.titles(searchAndWait("jkz zebra")) ==
                   std::vector<CString>{"zebra one.txt"} &&
               results.titles(searchAndWait("vqx zebra")).empty();
    }));
    EXPECT_EQ(core->impl().search.scanCount(), 1) << "no rescan was needed";

    // The cache follows, so that the next start has the renamed file.
    ASSERT_TRUE(core->impl().search.waitCacheSaved(std::chrono::seconds(10)));
    const auto cached =
        corvantile::engine::load_index_cache(cacheFolder.path() / "Corvantile.cache");
    ASSERT_TRUE(cached);
    std::vector<std::string> paths;
    cached->for_each([&](std::uint32_t, const corvantile::engine::ItemView& item) {
        if (item.name == "zebra one.txt")
            paths.emplace_back(item.path);
    });
    EXPECT_EQ(paths, std::vector<std::string>{data.file("jkz\\zebra one.txt").str()});
}

} // namespace
