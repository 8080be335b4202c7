#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "media/AVFrameQueue.h"
#include "media/AVPacketQueue.h"
#include "media/DataQueue.h"

namespace {

std::string ReadString(DataQueue& queue, long size)
{
    std::string text(size, '\0');
    return queue.Read(&text[0], size) ? text : "<refused>";
}

}  // namespace

TEST(DataQueueTest, HandsOutBytesInOrderAllOrNothing)
{
    DataQueue queue;
    char byte = 'x';
    EXPECT_FALSE(queue.Write(nullptr, 10));
    EXPECT_FALSE(queue.WriteCopy(&byte, 0));
    ASSERT_TRUE(queue.Write(new char[3]{'a', 'b', 'c'}, 3));
    ASSERT_TRUE(queue.WriteCopy("defgh", 5));
    EXPECT_EQ(ReadString(queue, 9), "<refused>");
    EXPECT_FALSE(queue.Read(nullptr, 2));
    EXPECT_EQ(queue.Size(), 8);
    EXPECT_EQ(ReadString(queue, 4), "abcd");  // across the chunk boundary
    EXPECT_EQ(queue.Size(), 4);
    EXPECT_EQ(ReadString(queue, 1), "e");
    EXPECT_EQ(ReadString(queue, 3), "fgh");
    EXPECT_EQ(queue.Size(), 0);
    // Emptied exactly, the queue starts over cleanly; Flush drops a part-read chunk.
    ASSERT_TRUE(queue.WriteCopy("xyz", 3));
    EXPECT_EQ(ReadString(queue, 2), "xy");
    queue.Flush();
    EXPECT_EQ(queue.Size(), 0);
}

TEST(AVQueuesTest, HandOutInOrderAndReleaseWhatTheyStillHold)
{
    AVPacketQueue packets;
    AVFrameQueue frames;
    try {
        packets.Get();
        FAIL() << "Get on an empty queue must throw";
    } catch (const char* message) {
        EXPECT_STREQ(message, "Can't get packet from queue: queue is empty.");
    }
    EXPECT_THROW(frames.Get(), const char*);

    // One packet record reused for every read, as a demuxer loop does.
    ffmpeg::PacketPtr packet(av_packet_alloc());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(av_new_packet(packet.get(), 16), 0);
        std::memset(packet->data, 'a' + i, 16);
        packet->pts = i;
        ASSERT_TRUE(packets.Put(*packet));
        EXPECT_EQ(packet->data, nullptr);  // the payload moved into the queue
        AVFrame* frame = av_frame_alloc();
        frame->pts = i;
        ASSERT_TRUE(frames.Put(frame));
    }
    EXPECT_EQ(packets.Size(), 3);
    for (int i = 0; i < 2; ++i) {
        ffmpeg::PacketPtr got = packets.Get();
        EXPECT_EQ(got->pts, i);
        EXPECT_EQ(got->data[15], 'a' + i);
        ffmpeg::FramePtr frame(frames.Get());
        EXPECT_EQ(frame->pts, i);
    }
    EXPECT_EQ(frames.Size(), 1);
    // What is still queued is released by Flush or with the queue (checked by the sanitizers).
    packets.Flush();
    EXPECT_EQ(packets.Size(), 0);
}
