#include "ui/settings/CodecParamPageMP4.h"

namespace {
// The label names the video codec, which the container alone does not tell.
const char* const FORMAT_LABELS[] = {"mp4, H.264 video", "mp4, MPEG-4 Part 2 video", "psp, MPEG-4 Part 2 video",
                                     "mov, H.264 video", "mov, MPEG-4 Part 2 video"};
const enumOutputCodec FORMAT_CODECS[] = {OC_MP4, OC_MP4_PART2, OC_PSP, OC_MOV, OC_MOV_PART2};

const int iSampleRates[] = {48000, 44100, 32000, 24000, 22050, 11025};
const int iMaxStereoBitrates[] = {0, 0, 0, 1, 2, 6};
const int iMaxMonoBitrates[] = {1, 2, 4, 6, 6, 8};

const tCodecPageTable TABLE = {
    {5, FORMAT_LABELS, FORMAT_CODECS},
    true,
    true,
    60,
    6, iSampleRates, iMaxStereoBitrates, iMaxMonoBitrates,
    TableDrivenCodecParamPage::AUDIO_BITRATE_COUNT, TableDrivenCodecParamPage::AUDIO_BITRATES,
    0, nullptr,
};
}  // namespace

CodecParamPageMP4::CodecParamPageMP4(tCodecParams& params, wxWindow* parent)
    : TableDrivenCodecParamPage(params, parent, TABLE)
{
}

enumOutputCodec CodecParamPageMP4::GetCodecIdFromIndex(int formatIndex)
{
    return CodecFromFormatIndex(TABLE.formats, formatIndex);
}

int CodecParamPageMP4::GetIndexFromCodecId(enumOutputCodec codec)
{
    return FormatIndexFromCodec(TABLE.formats, codec);
}
