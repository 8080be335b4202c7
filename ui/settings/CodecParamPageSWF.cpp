#include "ui/settings/CodecParamPageSWF.h"

namespace {
const char* const FORMAT_LABELS[] = {"swf format", "flv format"};
const enumOutputCodec FORMAT_CODECS[] = {OC_SWF, OC_FLV};

const int iSampleRates[] = {44100, 22050, 11025};
const int iMaxStereoBitrates[] = {0, 2, 6};
const int iMaxMonoBitrates[] = {2, 6, 8};

const tCodecPageTable TABLE = {
    {2, FORMAT_LABELS, FORMAT_CODECS},
    true,
    false,
    30,
    3, iSampleRates, iMaxStereoBitrates, iMaxMonoBitrates,
    TableDrivenCodecParamPage::AUDIO_BITRATE_COUNT, TableDrivenCodecParamPage::AUDIO_BITRATES,
    0, nullptr,
};
}  // namespace

CodecParamPageSWF::CodecParamPageSWF(tCodecParams& params, wxWindow* parent)
    : TableDrivenCodecParamPage(params, parent, TABLE)
{
}

enumOutputCodec CodecParamPageSWF::GetCodecIdFromIndex(int formatIndex)
{
    return CodecFromFormatIndex(TABLE.formats, formatIndex);
}

int CodecParamPageSWF::GetIndexFromCodecId(enumOutputCodec codec)
{
    return FormatIndexFromCodec(TABLE.formats, codec);
}
