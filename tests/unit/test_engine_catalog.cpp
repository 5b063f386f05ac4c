// The catalog: compact storage, updates without rebuilding, snapshots that do not change.
#include "core/engine/catalog/catalog.h"
#include "core/engine/text/text_fold.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace corvantile::engine {
namespace {

struct Owned {
    std::string name, path, payload, source;
    std::uint16_t kind = 0;
    ItemData data() const { return {name, path, payload, source, kind}; }
};

std::vector<ItemData> views(const std::vector<Owned>& items) {
    std::vector<ItemData> out;
    for (const Owned& item : items)
        out.push_back(item.data());
    return out;
}

std::vector<Owned> numbered(const std::string& source, int count, int first = 0) {
    std::vector<Owned> items;
    for (int i = first; i < first + count; ++i)
        items.push_back({source + " item " + std::to_string(i),
                         "C:\\" + source + "\\" + std::to_string(i), "payload " + std::to_string(i),
                         source, std::uint16_t(i % 7)});
    return items;
}

std::multiset<std::string> names(const CatalogSnapshot& snapshot) {
    std::multiset<std::string> out;
    snapshot.for_each(
        [&](std::uint32_t, const ItemView& item) { out.insert(std::string(item.name)); });
    return out;
}

// Every item reads back as stored, with its folded texts, masks and name head.
void expect_reads_back(const std::vector<Owned>& items) {
    const auto snapshot = build_snapshot(views(items));
    ASSERT_EQ(snapshot->size(), items.size());
    const Segment& segment = *snapshot->slot(0).segment;
    std::string view_room;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        const ItemView view = snapshot->view(i, view_room);
        EXPECT_EQ(view.name, items[i].name) << i;
        EXPECT_EQ(view.path, items[i].path) << i;
        EXPECT_EQ(view.payload, items[i].payload) << i;
        EXPECT_EQ(view.source, items[i].source) << i;
        EXPECT_EQ(view.kind, items[i].kind) << i;
        const std::string name = folded(items[i].name), path = folded(items[i].path);
        std::string room;
        EXPECT_EQ(segment.folded_name(i, room), name) << i;
        EXPECT_EQ(segment.folded_path(i, room), path) << i;
        const Segment::FoldedTexts both = segment.folded_texts(i, room);
        EXPECT_EQ(both.name, name) << i;
        EXPECT_EQ(both.path, path) << i;
        EXPECT_EQ(segment.name_mask(i), char_mask(name)) << i;
        EXPECT_EQ(segment.key_mask(i), char_mask(name) | char_mask(path)) << i;
        EXPECT_EQ(segment.head(i).bits, NameHead::of(name).bits) << i;
    }
}

TEST(CatalogStorage, ItemsReadBackExactly) {
    expect_reads_back({
        {"Visual Studio Code", "C:\\Apps\\Code.exe", "run:code", "programs", 3},
        {"Café.docx", "D:\\Docs\\Café.docx", "", "files", 1},
        {"", "", "", "", 0},
        {"Google", "", "https://www.google.com/search?q=%s", "web", 9},
    });
    // A file's name is usually the end of its path, and then stored only there.
    expect_reads_back({
        {"report.pdf", "C:\\Users\\Ann\\report.pdf", "", "files", 1},
        {"Report.PDF", "c:\\users\\Report.PDF", "p", "files", 1},
        {"a.txt", "a.txt", "", "files", 1},
        {"b.txt",
         "D:\\\xC3\x9C"
         "ber\\b.txt",
         "", "files", 1},
        {"x", "C:\\dir\\xx", "", "files", 1},
        {"name", "C:\\other", "", "files", 1},
    });
    // Columns that stay zero take no memory until a first non-zero value comes.
    const std::vector<Owned> items{{"one", "", "", "", 0},
                                   {"two", "", "", "", 0},
                                   {"Three", "C:\\Three.txt", "x", "files", 4},
                                   {"four", "", "", "", 0}};
    expect_reads_back(items);
    EXPECT_FALSE(build_snapshot(views(items))->slot(0).segment->has_path(3));
    // Items without paths at all (the filter's lines) keep no path lengths.
    const auto names_only = build_snapshot(views({items[0], items[1], items[3]}));
    EXPECT_FALSE(names_only->slot(0).segment->has_paths());
    std::string room;
    EXPECT_EQ(names_only->view(1, room).name, "two");
}

// Files of one folder listed together are marked so, whatever their names hold; paths and
// payloads read back the same.
TEST(CatalogStorage, FilesOfTheFolderBeforeAreMarked) {
    const std::vector<Owned> items{
        {"a.txt", "C:\\Docs\\a.txt", "1", "files", 1},
        {"B.txt", "C:\\Docs\\B.txt", "2", "files", 1},            // same folder
        {"caf\xC3\xA9", "C:\\Docs\\caf\xC3\xA9", "", "files", 1}, // same, not ASCII
        {"b2.TXT", "C:\\Docs\\b2.TXT", "3", "files", 1},          // same, after that
        {"c.txt", "C:\\docs\\c.txt", "", "files", 1},             // the case differs
        {"d.txt", "C:\\docs\\d.txt", "", "files", 1},
        {"Docs", "C:\\docs", "", "files", 1},               // its parent's file
        {"e", "C:\\docs\\xe", "", "files", 1},              // not the end of a part
        {"f.txt", "C:\\docs\\f.txt", "", "files", 1},       // after that, a new start
        {"x\\y.txt", "C:\\docs\\x\\y.txt", "", "files", 1}, // a name that holds a separator
        {"h.txt", "C:\\docs\\h.txt", "", "files", 1},       // after that, a new start
        {"g", "", "", "apps", 2},
    };
    expect_reads_back(items);
    const auto snapshot = build_snapshot(views(items));
    const Segment& segment = *snapshot->slot(0).segment;
    const std::vector<bool> same{false, true,  true,  true,  false, true,
                                 false, false, false, false, false, false};
    std::uint64_t starts = 0;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(segment.same_folder(i), same[i]) << i;
        starts |= std::uint64_t(!same[i]) << i;
    }
    EXPECT_EQ(segment.folder_starts(0, items.size()), starts);
}

TEST(CatalogStorage, ManyItemsBuiltSideBySideKeepTheirOrder) {
    const auto items = numbered("files", 150000);
    const auto snapshot = build_snapshot(views(items));
    ASSERT_EQ(snapshot->size(), items.size());
    std::string room;
    for (std::uint32_t i = 0; i < items.size(); i += 997) {
        EXPECT_EQ(snapshot->view(i, room).name, items[i].name);
        EXPECT_EQ(snapshot->view(i, room).path, items[i].path);
    }
    EXPECT_EQ(snapshot->view(std::uint32_t(items.size() - 1), room).name, items.back().name);
}

TEST(CatalogStorage, HeadDescribesTheName) {
    const std::vector<Owned> items{{"report.pdf", "", "", "s", 0},
                                   {"reportInvoice", "", "", "s", 0},
                                   {"win10 setup", "", "", "s", 0},
                                   {std::string(NameHead::kLongName + 10, 'x'), "", "", "s", 0}};
    const auto snapshot = build_snapshot(views(items));
    const Segment& segment = *snapshot->slot(0).segment;
    EXPECT_EQ(segment.head(0).first(), 'r');
    EXPECT_EQ(segment.head(0).last_dot(), 6u);
    EXPECT_EQ(segment.head(0).length(), 10u);
    EXPECT_EQ(segment.head(1).last_dot(), 0u);
    EXPECT_EQ(segment.head(3).length(), NameHead::kLongName);
    std::string room;
    EXPECT_EQ(segment.folded_name(3, room).size(), NameHead::kLongName + 10)
        << "a long name still reads back whole";
}

TEST(CatalogStorage, AtMost32BytesPerItemBeyondTheText) {
    const auto items = numbered("files", 20000);
    const auto snapshot = build_snapshot(views(items));
    std::size_t text = 0;
    for (std::size_t s = 0; s < snapshot->slot_count(); ++s)
        text += snapshot->slot(s).segment->text_bytes();
    EXPECT_LE(snapshot->memory_bytes() - text, 32 * items.size() + 4096);

    // A file whose path is ASCII keeps its path once, capitals and backslashes and all; a
    // path with other letters keeps its folded copy too.
    const std::vector<Owned> files{{"Report.PDF", "C:\\Users\\Ann\\Report.PDF", "", "files", 1},
                                   {"Daten.txt", "D:\\Ångström Daten\\Daten.txt", "", "files", 1}};
    EXPECT_EQ(build_snapshot(views({files[0]}))->slot(0).segment->text_bytes(),
              files[0].path.size());
    EXPECT_EQ(build_snapshot(views({files[1]}))->slot(0).segment->text_bytes(),
              files[1].path.size() + folded(files[1].path).size());
}

// After a folder's first file, its files keep only their names, however many there are and
// whatever comes between them; they read back whole.
TEST(CatalogStorage, AFolderOfManyFilesKeepsItsPathOnce) {
    const std::string folder = "C:\\Users\\Ann\\Projects\\a&b\\";
    std::vector<Owned> items;
    std::size_t names = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "File " + std::to_string(i) + ".txt";
        items.push_back({name, folder + name, i % 2 ? "" : "p", "files", 1});
        names += name.size();
    }
    // A name that is not ASCII keeps its path and folded texts, and the files after it still
    // share the folder.
    const Owned& odd = items[150] = {"na\xC3\xAFve caf\xC3\xA9.txt",
                                     folder + "na\xC3\xAFve caf\xC3\xA9.txt", "p", "files", 1};
    names -= std::string("File 150.txt").size();
    expect_reads_back(items);
    const auto snapshot = build_snapshot(views(items));
    const Segment& segment = *snapshot->slot(0).segment;
    EXPECT_EQ(segment.text_bytes(), folder.size() + names + odd.name.size() +
                                        folded(odd.name).size() + odd.path.size() +
                                        folded(odd.path).size() + 150);
    for (std::size_t i : {1u, 64u, 149u, 151u, 299u})
        EXPECT_EQ(segment.folder(i).data(), segment.folder(0).data()) << i;
}

TEST(CatalogUpdates, AddRemoveAndReplaceSources) {
    Catalog catalog;
    const auto programs = numbered("programs", 50);
    const auto files = numbered("files", 80);
    catalog.add(views(programs));
    catalog.add(views(files));
    EXPECT_EQ(catalog.snapshot()->size(), 130u);

    const auto newer = numbered("programs", 10, 100);
    catalog.replace_source("programs", views(newer));
    auto snapshot = catalog.snapshot();
    EXPECT_EQ(snapshot->size(), 90u);
    EXPECT_EQ(names(*snapshot).count("programs item 100"), 1u);
    EXPECT_EQ(names(*snapshot).count("programs item 0"), 0u);

    EXPECT_EQ(catalog.remove_if([](const ItemView& item) { return item.kind == 0; }), 13u);
    EXPECT_EQ(catalog.remove_source("files"), 68u);
    EXPECT_EQ(catalog.remove_source("nothing"), 0u);
    snapshot = catalog.snapshot();
    EXPECT_EQ(snapshot->size(), 9u);
    for (const auto& name : names(*snapshot))
        EXPECT_EQ(name.rfind("programs item 1", 0), 0u) << name;
}

TEST(CatalogUpdates, MixedSegmentsLoseOnlyTheRemovedSource) {
    std::vector<Owned> mixed = numbered("a", 30);
    const auto others = numbered("b", 30);
    mixed.insert(mixed.end(), others.begin(), others.end());
    Catalog catalog;
    catalog.add(views(mixed));
    EXPECT_EQ(catalog.remove_source("a"), 30u);
    const auto snapshot = catalog.snapshot();
    EXPECT_EQ(snapshot->size(), 30u);
    snapshot->for_each([](std::uint32_t, const ItemView& item) { EXPECT_EQ(item.source, "b"); });
}

// What a watched folder changes: items removed and added in one step, which a search sees
// whole or not at all; an update that changes nothing publishes nothing.
TEST(CatalogUpdates, AnUpdateRemovesAndAddsInOneStep) {
    Catalog catalog;
    catalog.add(views(numbered("a", 10)));
    const auto before = catalog.snapshot();
    const auto added = numbered("b", 3);
    EXPECT_EQ(
        catalog.update([](const ItemView& item) { return item.name == "a item 4"; }, views(added)),
        1u);
    const auto after = catalog.snapshot();
    EXPECT_EQ(after->size(), 12u);
    EXPECT_EQ(names(*after).count("a item 4"), 0u);
    EXPECT_EQ(names(*after).count("b item 2"), 1u);
    EXPECT_EQ(before->size(), 10u);
    EXPECT_EQ(catalog.update([](const ItemView&) { return false; }, {}), 0u);
    EXPECT_EQ(catalog.snapshot(), after);
}

TEST(CatalogUpdates, ManySmallUpdatesStayFewSegments) {
    Catalog catalog;
    for (int round = 0; round < 60; ++round) {
        catalog.add(views(numbered("files", 5, round * 5)));
        if (round % 3 == 2)
            catalog.remove_if([&](const ItemView& item) {
                return item.name == "files item " + std::to_string(round * 5);
            });
    }
    const auto snapshot = catalog.snapshot();
    EXPECT_LE(snapshot->slot_count(), Catalog::kMaxSegments);
    EXPECT_EQ(snapshot->size(), 300u - 20u);
    EXPECT_EQ(names(*snapshot).count("files item 296"), 1u);
    EXPECT_EQ(names(*snapshot).count("files item 295"), 0u);
    EXPECT_EQ(names(*snapshot).count("files item 10"), 0u);
}

TEST(CatalogSnapshots, OldSnapshotsDoNotChange) {
    Catalog catalog;
    catalog.add(views(numbered("files", 40)));
    const auto before = catalog.snapshot();
    const auto expected = names(*before);
    catalog.remove_source("files");
    catalog.add(views(numbered("other", 5)));
    EXPECT_EQ(names(*before), expected);
    EXPECT_EQ(catalog.snapshot()->size(), 5u);
    catalog.reset(before);
    EXPECT_EQ(catalog.snapshot()->size(), 40u);
    catalog.clear();
    EXPECT_EQ(catalog.snapshot()->size(), 0u);
}

TEST(CatalogSnapshots, ReadersRunWhileWritersUpdate) {
    Catalog catalog;
    catalog.add(views(numbered("seed", 100)));
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!stop) {
            const auto snapshot = catalog.snapshot();
            std::size_t seen = 0;
            snapshot->for_each(
                [&](std::uint32_t, const ItemView& item) { seen += item.name.empty() ? 0 : 1; });
            EXPECT_EQ(seen, snapshot->size());
            ++reads;
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (reads == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    for (int round = 0; round < 40; ++round) {
        catalog.replace_source("files", views(numbered("files", 50, round)));
        catalog.remove_if([&](const ItemView& item) { return item.kind == round % 7; });
    }
    const int before = reads;
    while (reads == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    stop = true;
    reader.join();
    EXPECT_GT(reads.load(), before);
}

} // namespace
} // namespace corvantile::engine
