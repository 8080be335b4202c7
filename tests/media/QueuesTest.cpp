#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "media/AVFrameQueue.h"
#include "media/AVPacketQueue.h"
#include "media/DataQueue.h"

namespace {

const std::string kEmptyMessage = "Can't get packet from queue: queue is empty.";

char* HeapBytes(const char* text)
{
    size_t size = std::strlen(text);
    char* bytes = new char[size];
    std::memcpy(bytes, text, size);
    return bytes;
}

std::string ReadString(DataQueue& queue, long size)
{
    std::string text(size, '\0');
    if (!queue.Read(&text[0], size)) return "<refused>";
    return text;
}

}  // namespace

TEST(DataQueueTest, HandsOutBytesInOrderAcrossChunkBoundaries)
{
    DataQueue queue;
    ASSERT_TRUE(queue.Write(HeapBytes("abc"), 3));
    ASSERT_TRUE(queue.WriteCopy("defgh", 5));
    EXPECT_EQ(queue.Size(), 8);
    EXPECT_EQ(ReadString(queue, 4), "abcd");
    EXPECT_EQ(queue.Size(), 4);
    EXPECT_EQ(ReadString(queue, 1), "e");
    EXPECT_EQ(ReadString(queue, 3), "fgh");
    EXPECT_EQ(queue.Size(), 0);
    // Emptied exactly: the queue starts over cleanly.
    ASSERT_TRUE(queue.WriteCopy("xy", 2));
    EXPECT_EQ(ReadString(queue, 2), "xy");
}

TEST(DataQueueTest, RefusesNothingToWriteAndReadsAllOrNothing)
{
    DataQueue queue;
    char byte = 'x';
    EXPECT_FALSE(queue.Write(nullptr, 10));
    EXPECT_FALSE(queue.WriteCopy(&byte, 0));
    queue.WriteCopy("12345", 5);
    EXPECT_EQ(ReadString(queue, 6), "<refused>");
    EXPECT_FALSE(queue.Read(nullptr, 2));
    EXPECT_EQ(queue.Size(), 5);
    EXPECT_EQ(ReadString(queue, 5), "12345");
    queue.WriteCopy("abc", 3);
    queue.Flush();
    EXPECT_EQ(queue.Size(), 0);
}

TEST(AVPacketQueueTest, KeepsPayloadsOfQueuedPacketsInOrder)
{
    AVPacketQueue queue;
    EXPECT_EQ(queue.Size(), 0);
    try {
        queue.Get();
        FAIL() << "Get on an empty queue must throw";
    } catch (const char* message) {
        EXPECT_EQ(message, kEmptyMessage);
    }

    // One packet record reused for every read, as a demuxer loop does.
    ffmpeg::PacketPtr packet(av_packet_alloc());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(av_new_packet(packet.get(), 16), 0);
        std::memset(packet->data, 'a' + i, 16);
        packet->pts = i;
        ASSERT_TRUE(queue.Put(*packet));
        EXPECT_EQ(packet->data, nullptr);  // the payload moved into the queue
    }
    EXPECT_EQ(queue.Size(), 3);
    for (int i = 0; i < 2; ++i) {
        ffmpeg::PacketPtr got = queue.Get();
        EXPECT_EQ(got->pts, i);
        EXPECT_EQ(got->data[15], 'a' + i);
    }
    queue.Flush();  // the third packet is released here (checked by the sanitizers)
    EXPECT_EQ(queue.Size(), 0);
}

TEST(AVFrameQueueTest, IsFirstInFirstOutAndFreesWhatItStillHolds)
{
    AVFrameQueue queue;
    EXPECT_THROW(queue.Get(), const char*);
    for (int i = 0; i < 3; ++i) {
        AVFrame* frame = av_frame_alloc();
        frame->pts = i;
        queue.Put(frame);
    }
    ffmpeg::FramePtr first(queue.Get());
    EXPECT_EQ(first->pts, 0);
    EXPECT_EQ(queue.Size(), 2);
}
