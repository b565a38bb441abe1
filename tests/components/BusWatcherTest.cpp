// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/BusWatcher.h"
#include "components/MediaFramework.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The one bus watcher of the player and the recorder: messages reach its
// handler on the GUI thread, each exactly once, whether the event loop or a
// waiting operation takes them off the bus.

using namespace std::chrono_literals;

namespace {

class BusWatcherTest : public testing::Test {
protected:
    BusWatcherTest()
    {
        InitialiseMediaFramework();
        pipeline = AdoptPipeline(gst_pipeline_new("bus-test"));
        watcher = std::make_unique<BusWatcher>(GstBusHandle(gst_element_get_bus(pipeline.get())),
                                               [this](GstMessage* message) { OnMessage(message); });
    }

    // Posts an application message named `name`, as a streaming thread would.
    void Post(const char* name)
    {
        gst_element_post_message(pipeline.get(), gst_message_new_application(GST_OBJECT(pipeline.get()),
                                                                              gst_structure_new_empty(name)));
    }
    void PostFromAnotherThread(std::vector<const char*> names)
    {
        std::thread poster([&] {
            for (const char* name : names)
                Post(name);
        });
        poster.join();
    }
    bool Handled(const std::string& name) const
    {
        return std::find(handled.begin(), handled.end(), name) != handled.end();
    }

    GstPipelineHandle pipeline;
    std::unique_ptr<BusWatcher> watcher;
    std::vector<std::string> handled;
    // Called by the handler for each message, before it is noted.
    std::function<void(const std::string&)> onMessage;

private:
    void OnMessage(GstMessage* message)
    {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_APPLICATION)
            return;
        std::string name = gst_structure_get_name(gst_message_get_structure(message));
        if (onMessage)
            onMessage(name);
        handled.push_back(name);
    }
};

TEST_F(BusWatcherTest, TheEventLoopHandsEachMessageOverOnceInOrder)
{
    PostFromAnotherThread({"first", "second", "third"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled.size() == 3; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(handled, (std::vector<std::string>{"first", "second", "third"}));
}

TEST_F(BusWatcherTest, AWaitTakesMessagesUntilItIsDoneAndLeavesTheRestToTheEventLoop)
{
    PostFromAnotherThread({"first", "awaited", "later"});
    EXPECT_TRUE(watcher->HandleUntil([&] { return Handled("awaited"); }, 1000ms));
    EXPECT_EQ(handled, (std::vector<std::string>{"first", "awaited"}));

    ASSERT_TRUE(QTest::qWaitFor([&] { return handled.size() == 3; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(handled, (std::vector<std::string>{"first", "awaited", "later"}));
}

TEST_F(BusWatcherTest, AWaitThatIsDoneAlreadyTakesNothingAndOneThatTimesOutSaysSo)
{
    Post("waiting");
    EXPECT_TRUE(watcher->HandleUntil([] { return true; }, 1000ms));
    EXPECT_TRUE(handled.empty());

    watcher->Drain();
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(watcher->HandleUntil([&] { return Handled("never"); }, 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_EQ(handled, std::vector<std::string>{"waiting"});
}

// The recorder's handler waits in turn for the end of stream that follows
// an input's failure.
TEST_F(BusWatcherTest, TheHandlerMayWaitForALaterMessageItself)
{
    onMessage = [&](const std::string& name) {
        if (name == "failure") {
            EXPECT_TRUE(watcher->HandleUntil([&] { return Handled("end"); }, 1000ms));
        }
    };
    Post("failure");
    std::thread poster([&] {
        std::this_thread::sleep_for(20ms);
        Post("end");
    });
    watcher->Drain();
    poster.join();
    QTest::qWait(50);
    // The nested wait noted "end" before the handler returned from "failure".
    EXPECT_EQ(handled, (std::vector<std::string>{"end", "failure"}));
}

} // namespace
