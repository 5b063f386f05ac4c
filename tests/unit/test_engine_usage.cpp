// Learning from what the user launches: boosts, decay, bounds and the stored form.
#include "core/engine/match/ranking.h"
#include "core/engine/search/usage.h"

#include <gtest/gtest.h>

#include <string>

namespace corvantile::engine {
namespace {

using std::chrono::hours;

const UsageTime kNow{std::chrono::seconds(1'700'000'000)};

TEST(UsageLearning, ChoicesBoostTheQueryAndItsPrefixes) {
    UsageStore store;
    EXPECT_EQ(store.boost("fire", "programs|firefox", kNow), 0);
    store.record("Fire", "programs|firefox", kNow);
    const auto exact = store.boost("fire", "programs|firefox", kNow);
    const auto prefix = store.boost("fi", "programs|firefox", kNow);
    EXPECT_GT(exact, 0);
    EXPECT_GT(prefix, 0);
    EXPECT_LT(prefix, exact) << "a shorter query learns less from a longer one";
    EXPECT_EQ(store.boost("firef", "programs|firefox", kNow), 0) << "not for longer queries";
    EXPECT_EQ(store.boost("ire", "programs|firefox", kNow), 0);
    EXPECT_EQ(store.boost("fire", "programs|other", kNow), 0);
    EXPECT_EQ(store.boost("  FIRE ", "programs|firefox", kNow), exact) << "queries are normalised";
}

TEST(UsageLearning, FrequencyRaisesAndAgeLowersTheBoost) {
    UsageStore store;
    store.record("term", "a", kNow);
    const auto once = store.boost("term", "a", kNow);
    store.record("term", "a", kNow);
    store.record("term", "a", kNow);
    const auto thrice = store.boost("term", "a", kNow);
    EXPECT_GT(thrice, once);
    EXPECT_LT(store.boost("term", "a", kNow + hours(24 * 60)), thrice / 2);
    for (int i = 0; i < 500; ++i)
        store.record("term", "a", kNow);
    EXPECT_LE(store.boost("term", "a", kNow), kMaxUsageBoost) << "the boost is bounded";
}

TEST(UsageLearning, BoostsForAQueryAreKeyedByItemHash) {
    UsageStore store;
    const ItemView item{"Firefox", "C:\\Apps\\firefox.exe", "", "programs", 1};
    store.record("fox", usage_key(item), kNow);
    const UsageBoosts boosts = store.boosts_for("fox", kNow);
    EXPECT_FALSE(boosts.empty());
    EXPECT_EQ(boosts.boost(usage_key_hash(item)), store.boost("fox", usage_key(item), kNow));
    EXPECT_EQ(usage_key_hash(item), usage_key_hash(usage_key(item)));
    EXPECT_EQ(boosts.boost(usage_key_hash("programs|C:\\Apps\\other.exe")), 0);
    EXPECT_TRUE(store.boosts_for("zebra", kNow).empty());
}

TEST(UsageStorage, RoundTripKeepsEveryEntry) {
    UsageStore store;
    store.record("tab\there", "key\nwith\\odd\rbytes", kNow);
    store.record("café", "files|D:\\Café.docx", kNow - hours(5));
    store.record("x", "y", kNow);
    const std::string saved = store.serialize();
    UsageStore loaded;
    EXPECT_EQ(loaded.deserialize(saved), 3u);
    EXPECT_EQ(loaded.serialize(), saved);
    EXPECT_EQ(loaded.boost("tab here", "key\nwith\\odd\rbytes", kNow),
              store.boost("tab here", "key\nwith\\odd\rbytes", kNow));
}

TEST(UsageStorage, GarbageIsSkippedQuietly) {
    UsageStore store;
    store.record("kept", "k", kNow);
    const std::string saved = store.serialize();
    UsageStore loaded;
    EXPECT_EQ(loaded.deserialize("not a usage file\n1\t2\tq\tk\n"), 0u);
    const std::string mixed = saved + "garbage line\n" + "12\tnan\tq\tk\n" + "x\t1\tq\tk\n" +
                              "5\t1\tq\tbad\\escape\n" + "5\t1\t\tk\n" + "5\t-3\tq\tk\n" +
                              std::string("\0\xFF\t\t\t", 6) + "\n";
    EXPECT_EQ(loaded.deserialize(mixed), 1u);
    EXPECT_GT(loaded.boost("kept", "k", kNow), 0);
    EXPECT_EQ(loaded.deserialize(""), 0u);
    EXPECT_EQ(loaded.size(), 0u);
}

TEST(UsageStorage, StaysBounded) {
    UsageStore store;
    for (std::size_t i = 0; i < UsageStore::kMaxEntries * 2; ++i)
        store.record("q" + std::to_string(i), "k", kNow + std::chrono::seconds(i));
    EXPECT_LE(store.size(), UsageStore::kMaxEntries + UsageStore::kMaxEntries / 8);
    // The most recent choices are the ones kept.
    EXPECT_GT(store.boost("q" + std::to_string(UsageStore::kMaxEntries * 2 - 1), "k", kNow), 0);
}

} // namespace
} // namespace corvantile::engine
