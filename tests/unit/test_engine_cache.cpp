// The index cache file: it reads back what was saved, and nothing else.
#include "core/engine/catalog/catalog.h"
#include "support/checksum.h"
#include "support/file_io.h"
#include "core/engine/catalog/index_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace corvantile::engine {
using support::checksum64;
using support::write_file_atomically;

namespace {

std::shared_ptr<const CatalogSnapshot> sample() {
    const std::vector<ItemData> items{
        {"Visual Studio Code", "C:\\Apps\\Code.exe", "run", "programs", 3},
        {"Café.docx", "D:\\Docs\\Café.docx", "", "files", 1},
        {"Google", "", "https://www.google.com/search?q=%s", "web", 9},
        {"", "", "", "", 0},
    };
    return build_snapshot(items);
}

struct Flat {
    std::string name, path, payload, source;
    std::uint16_t kind;
    bool operator==(const Flat&) const = default;
};

std::vector<Flat> flatten(const CatalogSnapshot& snapshot) {
    std::vector<Flat> out;
    snapshot.for_each([&](std::uint32_t, const ItemView& item) {
        out.push_back({std::string(item.name), std::string(item.path), std::string(item.payload),
                       std::string(item.source), item.kind});
    });
    return out;
}

TEST(IndexCache, RoundTrip) {
    const auto original = sample();
    const auto loaded = decode_index_cache(encode_index_cache(*original));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(flatten(*loaded), flatten(*original));
    const auto empty = decode_index_cache(encode_index_cache(CatalogSnapshot()));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 0u);
}

TEST(IndexCache, RemovedItemsAreNotSaved) {
    Catalog catalog;
    const std::vector<ItemData> items{{"a", "", "", "s", 0}, {"b", "", "", "t", 0}};
    catalog.add(items);
    catalog.remove_source("s");
    const auto loaded = decode_index_cache(encode_index_cache(*catalog.snapshot()));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 1u);
    std::string room;
    EXPECT_EQ(loaded->view(0, room).name, "b");
}

// Segments are saved as they are in memory: several of them, of mixed and single sources, with
// names inside their paths and apart, folded and not, come back item for item.
TEST(IndexCache, SegmentsRoundTripWithTheirRemovedItemsLeftOut) {
    Catalog catalog;
    std::vector<std::string> paths;
    for (int i = 0; i < 3000; ++i)
        paths.push_back("C:\\Фото 2024\\Ångström Daten\\naïve café " + std::to_string(i) +
                        (i % 3 ? ".txt" : ".JPG"));
    for (int part = 0; part < 3; ++part) {
        std::vector<ItemData> items;
        for (int i = part * 1000; i < (part + 1) * 1000; ++i) {
            const std::string_view path = paths[i];
            if (i % 7 == 0)
                items.push_back({"a&b", "", path, "text", 5});
            else
                items.push_back(
                    {path.substr(path.rfind('\\') + 1), path, "", part ? "files" : "mixed", 1});
        }
        catalog.add(items);
    }
    catalog.remove_if([](const ItemView& item) { return item.path.ends_with("7.txt"); });
    const auto original = catalog.snapshot();
    ASSERT_GT(original->slot_count(), 1u);
    const auto loaded = decode_index_cache(encode_index_cache(*original));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(flatten(*loaded), flatten(*original));
    EXPECT_EQ(loaded->size(), original->size());
    EXPECT_EQ(loaded->capacity(), loaded->size()) << "nothing removed is kept";
}

TEST(IndexCache, EveryCorruptedByteIsRejected) {
    const std::string good = encode_index_cache(*sample());
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
            std::string bad = good;
            bad[i] = static_cast<char>(bad[i] ^ flip);
            EXPECT_FALSE(decode_index_cache(bad)) << "byte " << i << " flipped by " << int(flip);
        }
    }
}

TEST(IndexCache, TruncationsAndExtensionsAreRejected) {
    const std::string good = encode_index_cache(*sample());
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(decode_index_cache(good.substr(0, size))) << "cut to " << size;
    EXPECT_FALSE(decode_index_cache(good + '\0'));
}

// A header that passes the checksum but claims absurd counts must not allocate for them.
TEST(IndexCache, AbsurdCountsWithAValidChecksumAreRejected) {
    const std::string good = encode_index_cache(*sample());
    std::uint64_t sources_size = 0;
    std::memcpy(&sources_size, good.data() + 24, 8);
    const auto with_count = [&](std::uint64_t count, std::uint32_t sources) {
        std::string bad = good;
        std::memcpy(bad.data() + 16, &count, 8);
        std::memcpy(bad.data() + 40, &sources, 4);
        const std::string_view bytes(bad);
        const std::uint64_t sum =
            checksum64(bytes.substr(40, sources_size), checksum64(bytes.substr(0, 32)));
        std::memcpy(bad.data() + 32, &sum, 8);
        return bad;
    };
    EXPECT_FALSE(decode_index_cache(with_count(~std::uint64_t{0}, 4)));
    EXPECT_FALSE(decode_index_cache(with_count(1u << 30, 4)));
    EXPECT_FALSE(decode_index_cache(with_count(5, 4))) << "one item more than present";
    EXPECT_FALSE(decode_index_cache(with_count(4, 0xFFFFFFFF)));
    EXPECT_TRUE(decode_index_cache(with_count(4, 4))) << "the unchanged counts still load";
}

// A segment read back into a buffer keeps its tables there when they are aligned and copies
// them when not; either way every item reads back the same.
TEST(IndexCache, SegmentsReadBackInPlaceOrCopied) {
    const auto original = sample();
    std::string saved;
    original->slot(0).segment->append_to(saved);
    for (const std::size_t offset : {0, 1, 4}) {
        std::shared_ptr<char[]> buffer(new char[saved.size() + offset]);
        std::memcpy(buffer.get() + offset, saved.data(), saved.size());
        const std::string_view bytes(buffer.get() + offset, saved.size());
        const auto segment = Segment::from_bytes(bytes, buffer, saved.size() + offset);
        ASSERT_TRUE(segment) << offset;
        buffer.reset();
        const Segment& before = *original->slot(0).segment;
        ASSERT_EQ(segment->size(), before.size());
        std::string room, before_room;
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(segment->name(i), before.name(i)) << offset;
            EXPECT_EQ(segment->path(i, room), before.path(i, before_room)) << offset;
            EXPECT_EQ(segment->payload(i), before.payload(i)) << offset;
            EXPECT_EQ(segment->key_mask(i), before.key_mask(i)) << offset;
        }
    }
}

TEST(IndexCache, FileSaveAndLoad) {
    const auto folder = std::filesystem::temp_directory_path() / "corvantile_index_cache_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const auto file = folder / "index.cache";
    EXPECT_FALSE(load_index_cache(file)) << "missing file";
    ASSERT_TRUE(save_index_cache(file, *sample()));
    const auto loaded = load_index_cache(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(flatten(*loaded), flatten(*sample()));
    ASSERT_TRUE(write_file_atomically(file, "garbage"));
    EXPECT_FALSE(load_index_cache(file));
    // The file is mapped and its segments left in place: a flipped byte or a cut anywhere
    // still fails it.
    const std::string good = encode_index_cache(*sample());
    for (std::size_t at = 0; at < good.size(); at += 7) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x10);
        ASSERT_TRUE(write_file_atomically(file, bad));
        EXPECT_FALSE(load_index_cache(file)) << "byte " << at;
        ASSERT_TRUE(write_file_atomically(file, good.substr(0, at)));
        EXPECT_FALSE(load_index_cache(file)) << "cut to " << at;
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace corvantile::engine
