// Which of the core's elements reach the list: only those of the search the bar waits for,
// including the ones that arrive before the search's id is known; all others are freed.
// And the whole path under load: several core threads streaming into the list while the
// window thread clears, paints and resizes it.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/CDC.h"
#include "front_test_support.h"
#include "mainwnd/SearchGate.h"

using namespace fronttest;

namespace {

// Collects what passes the gate, in order, and frees it at the end.
struct Collected {
    std::vector<VElement*> elements;
    std::vector<bool> batches;

    CSearchGate::Sink sink() {
        return [this](VElement** list, int count, bool batch) {
            for (int i = 0; i < count; ++i) {
                elements.push_back(list[i]);
                batches.push_back(batch);
            }
        };
    }
    ~Collected() {
        for (VElement* element : elements)
            element->deleteThis();
    }
};

// Before any search nothing passes; while a search starts, elements are held until its id is
// known, then those of other searches are freed. (Elements of stale and cancelled searches are
// checked through the search bar.)
TEST(SearchGate, ElementsBeforeTheIdIsKnownAreHeldAndSortedOut) {
    Collected collected;
    CSearchGate gate(collected.sink());
    BorrowedElement action(VElement::kAction);
    const long before = VElement::liveElements();

    VElement* stale = TestResult::create("stale");
    gate.deliver(1, &stale, 1, false);
    EXPECT_TRUE(collected.elements.empty()) << "no search is awaited yet";

    gate.beginStart();
    VElement* early = TestResult::create("early");
    gate.deliver(7, &early, 1, false);
    VElement* other = TestResult::create("other search");
    gate.deliver(6, &other, 1, false);
    VElement* borrowed = &action;
    gate.deliver(7, &borrowed, 1, false);
    EXPECT_TRUE(collected.elements.empty()) << "held while the id is unknown";

    gate.open(7);
    ASSERT_EQ(collected.elements.size(), 2u);
    EXPECT_EQ(collected.elements[0], early);
    EXPECT_EQ(collected.elements[1], &action);
    EXPECT_FALSE(collected.batches[0]);
    EXPECT_EQ(VElement::liveElements(), before + 1) << "the stale results were freed";
    EXPECT_EQ(action.deletes, 0);
    collected.elements.pop_back(); // borrowed: not for the collector to free
}

// Streams batches and single results from several threads, some for stale searches, while the
// window thread keeps clearing, restarting, painting and resizing the list.
TEST(SearchGate, StreamingFromCoreThreadsWhileTheWindowThreadWorksLosesNothing) {
    const long before = VElement::liveElements();
    {
        ListHost host;
        CSearchGate gate([&host](VElement** elements, int count, bool batch) {
            if (batch) {
                host.list.addElements(elements, count);
            } else {
                for (int i = 0; i < count; ++i)
                    host.list.addElement(elements[i]);
            }
        });
        std::atomic<DWORD> searchId{1};
        gate.beginStart();
        gate.open(1);

        constexpr int kThreads = 4;
        constexpr int kRounds = 300;
        std::atomic<int> finished{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < kRounds; ++round) {
                    // Every third delivery is for the search before the current one.
                    const DWORD id = searchId.load() - (round % 3 == 0 ? 1 : 0);
                    if ((round + t) % 2 == 0) {
                        VElement* batch[] = {TestResult::create("a"), TestResult::create("b"),
                                             TestResult::create("c")};
                        gate.deliver(id, batch, 3, true);
                    } else {
                        VElement* single = TestResult::create("single");
                        gate.deliver(id, &single, 1, false);
                    }
                    if (round % 16 == 0)
                        std::this_thread::yield();
                }
                ++finished;
            });
        }

        CClientDC screen(&host.list);
        CDC memory;
        memory.CreateCompatibleDC(&screen);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&screen, 600, 400);
        const HBITMAP old = memory.SelectObject(&bitmap);
        int step = 0;
        const bool allDone = pumpUntil(
            [&] {
                ++step;
                if (step % 7 == 0) {
                    gate.close();
                    host.list.clear(step % 2 == 0);
                    gate.beginStart();
                    gate.open(searchId.fetch_add(1) + 1);
                }
                if (step % 3 == 0)
                    host.list.SetWindowPos(nullptr, 0, 0, 500, 40 + (step * 37) % 400,
                                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                host.list.paint(memory);
                host.list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                return finished.load() == kThreads;
            },
            120000);
        for (std::thread& thread : threads)
            thread.join();
        memory.SelectObject(old);
        EXPECT_TRUE(allDone);
        pumpMessages();

        gate.close();
        host.list.clear(true);
    }
    EXPECT_EQ(VElement::liveElements(), before) << "every result was freed exactly once";
}

} // namespace
