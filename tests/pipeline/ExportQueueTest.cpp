// The export queue's rules without any export: free names, and the file
// that keeps the queue across restarts and crashes.
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "media/FormatRules.h"
#include "pipeline/ExportQueue.h"
#include "support/MediaProbe.h"
#include "support/TestMedia.h"

using namespace testsupport;

namespace {

tExportOrder Order(const std::string& input, const std::string& output)
{
    return {input, output, {}, wxRect(), 0, 0};
}

}  // namespace

TEST(ExportQueueNames, TakenNamesGetTheNextFreeNumberAndItemsNeverShareAnOutput)
{
    const std::set<std::string> taken = {"/d/clip.mp4", "/d/clip (1).mp4", "/d/clip (3).mp4", "/d.x/noext",
                                         "/d/a (b).mp4"};
    auto isTaken = [&taken](const std::string& path) { return taken.count(path) != 0; };
    const struct { const char* path; const char* free; } cases[] = {
        {"/d/new.mp4", "/d/new.mp4"},       {"/d/clip.mp4", "/d/clip (2).mp4"},
        {"/d/clip (3).mp4", "/d/clip (2).mp4"}, {"/d.x/noext", "/d.x/noext (1)"},
        {"/d/a (b).mp4", "/d/a (b) (1).mp4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExportQueue::NextFreeName(c.path, isTaken), c.free) << c.path;

    std::string folder = OutputPath("names");
    RunCommand("mkdir -p " + Quote(folder) + " && touch " + Quote(folder + "/old.mp4"));
    ExportQueue queue("");
    // Names the queue holds are taken, agreed or not; an existing file only when not agreed.
    const struct { const char* name; bool agreed; const char* placed; } adds[] = {
        {"a.mp4", false, "a.mp4"}, {"a.mp4", true, "a (1).mp4"}, {"old.mp4", false, "old (1).mp4"},
        {"old.mp4", true, "old.mp4"}};
    for (const auto& a : adds)
        EXPECT_EQ(queue.Find(queue.Add(Order("/in/x.mp4", folder + "/" + a.name), a.agreed))->order.output,
                  folder + "/" + a.placed);
}

// Items run in their order, one at a time; a failure does not stop the
// queue, and the queue stops going once nothing waits.
TEST(ExportQueueRun, RunsWaitingItemsInTurnPastAFailure)
{
    std::string folder = OutputPath("run");
    RunCommand("mkdir -p " + Quote(folder));
    ExportQueue queue("");
    tExportOrder good = Order(MediaPath("fps10.mp4"), folder + "/good.mp4");
    good.params = ProposeForSource(OC_MP4, {320, 240, 1.0, 10, 1, 10.0, false, 0, 0});
    int removed = queue.Add(good, false);
    int damaged = queue.Add(Order(MediaPath("truncated.mp4"), folder + "/damaged.mp4"), false);
    int kept = queue.Add(good, false);
    queue.Remove(removed);
    queue.SetGoing(true);
    while (queue.IsGoing() || queue.IsBusy()) {
        queue.WaitForCurrent();
        queue.Poll();
    }
    ASSERT_EQ(queue.Items().size(), 2u);
    EXPECT_EQ(queue.Find(damaged)->state, tQueueItem::FAILED);
    EXPECT_NE(queue.Find(damaged)->detail, "");
    EXPECT_EQ(queue.Find(kept)->state, tQueueItem::CHECKED) << queue.Find(kept)->detail;
    EXPECT_EQ(queue.Find(kept)->order.output, folder + "/good (1).mp4");
    EXPECT_EQ(CountVideoFrames(folder + "/good (1).mp4"), 30);
}

// Everything an item holds comes back, in the queue's order; an item that
// was running when the program ended comes back interrupted and can be
// started again.
TEST(ExportQueueFile, KeepsItemsInOrderAndBringsRunningOnesBackInterrupted)
{
    std::string file = OutputPath("state") + "/tellavox/queue";
    const std::string awkward = "/in/tab\there \\ line\nbreak \xC3\xA9.mp4";
    {
        ExportQueue queue(file);
        tExportOrder order = Order(awkward, "/out/x.mkv");
        order.params.eCodec = OC_MKV_H264;
        order.params.iAudioTrack = 2;
        order.params.eVideoRate = VR_QUALITY;
        order.params.iQuality = 23;
        order.params.bKeepInterlaced = true;
        order.crop = wxRect(8, 4, 300, 200);
        order.start = 1.25;
        order.end = 3.0 + 1e-9;
        queue.Add(Order("/in/b.mp4", "/out/b.mp4"), false);
        int c = queue.Add(Order("/in/c.mp4", "/out/c.mp4"), false);
        queue.Add(order, true);
        queue.Move(c, +1);
        queue.Cancel(c);
        EXPECT_TRUE(queue.IsSaved());
    }
    std::string saved = ReadFile(file);
    size_t b = saved.find("state=waiting\tinput=/in/b.mp4");
    ASSERT_NE(b, std::string::npos) << saved;
    std::ofstream(file) << saved.replace(b, 13, "state=running");

    ExportQueue again(file);
    EXPECT_TRUE(again.Load());
    ASSERT_EQ(again.Items().size(), 3u);
    const tQueueItem& interrupted = again.Items()[0];
    const tQueueItem& kept = again.Items()[1];
    EXPECT_EQ(interrupted.state, tQueueItem::INTERRUPTED);
    EXPECT_EQ(again.Items()[2].order.input, "/in/c.mp4");
    EXPECT_EQ(again.Items()[2].state, tQueueItem::CANCELLED);
    const tCodecParams& p = kept.order.params;
    EXPECT_EQ(std::tie(kept.state, kept.order.input, kept.replaceAgreed, p.eCodec, p.iQuality, p.eVideoRate,
                       p.iAudioTrack, p.bKeepInterlaced, kept.order.crop, kept.order.start, kept.order.end),
              std::make_tuple(tQueueItem::WAITING, awkward, true, OC_MKV_H264, 23, VR_QUALITY, 2, true,
                              wxRect(8, 4, 300, 200), 1.25, 3.0 + 1e-9));
    again.Restart(interrupted.id);
    EXPECT_EQ(again.Items()[0].state, tQueueItem::WAITING);

    setenv("XDG_STATE_HOME", "/st", 1);
    EXPECT_EQ(ExportQueue::DefaultFile(), "/st/tellavox/queue");
    setenv("XDG_STATE_HOME", "relative", 1);
    setenv("HOME", "/h", 1);
    EXPECT_EQ(ExportQueue::DefaultFile(), "/h/.local/state/tellavox/queue") << "a relative folder is ignored";
}

// A damaged file neither stops the program nor is lost: what reads is
// kept, and the file itself is kept beside the queue.
TEST(ExportQueueFile, ADamagedFileKeepsWhatReadsAndIsKeptAside)
{
    std::string file = OutputPath("damaged_queue");
    const std::string good = "state=failed\tinput=/in/a.mp4\toutput=/out/a.mp4\tdetail=why\twidth=320";
    const struct { std::string text; size_t items; } cases[] = {
        {"\x89PNG garbage\n" + good + "\n", 0},
        {"tellavox queue 1\n" + good + "\nstate=waiting\tinput=/in/b.mp4\toutput=/out/b.mp4\twidth=x\n", 1},
        {"tellavox queue 1\nstate=lost\tinput=/in/b.mp4\toutput=/out/b.mp4\n" + good + "\n", 1},
        {"tellavox queue 1\nstate=waiting\toutput=/out/b.mp4\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::remove((file + ".damaged").c_str());
        std::ofstream(file) << c.text;
        ExportQueue queue(file);
        EXPECT_FALSE(queue.Load());
        ASSERT_EQ(queue.Items().size(), c.items);
        if (c.items) {
            EXPECT_EQ(queue.Items()[0].detail, "why");
        }
        EXPECT_EQ(ReadFile(file + ".damaged"), c.text);
        queue.Add(Order("/in/c.mp4", "/out/c.mp4"), false);
        EXPECT_EQ(ReadFile(file + ".damaged"), c.text);
    }
    ExportQueue none(OutputPath("no_queue"));
    EXPECT_TRUE(none.Load() && none.Items().empty());
}
