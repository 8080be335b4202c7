#include "ui/settings/CodecParamPageMP4.h"

namespace {
const char* const FORMAT_LABELS[] = {"mp4 format", "psp format", "mov format"};
const enumOutputCodec FORMAT_CODECS[] = {OC_MP4, OC_PSP, OC_MOV};

const int iSampleRates[] = {48000, 44100, 32000, 24000, 22050, 11025};
const int iMaxStereoBitrates[] = {0, 0, 0, 1, 2, 6};
const int iMaxMonoBitrates[] = {1, 2, 4, 6, 6, 8};

const tCodecPageTable TABLE = {
    {3, FORMAT_LABELS, FORMAT_CODECS},
    false,
    6, iSampleRates, iMaxStereoBitrates, iMaxMonoBitrates,
    TableDrivenCodecParamPage::AUDIO_BITRATE_COUNT, TableDrivenCodecParamPage::AUDIO_BITRATES,
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
