#include "ui/settings/CodecParamPageMPEG.h"

#include <iterator>

namespace {
const char* const FORMAT_LABELS[] = {"mpg, MPEG-1 video", "ts (.m2v), MPEG-2 video", "vob (DVD), MPEG-2 video"};
const enumOutputCodec FORMAT_CODECS[] = {OC_MPG, OC_M2V, OC_VOB};

// MPEG-1 Layer II at the MPEG-1 rates.
const int iSampleRates[] = {48000, 44100, 32000};
const int iBitRates[] = {384000, 320000, 256000, 224000, 192000, 160000, 128000,
                         112000, 96000, 80000, 64000, 56000, 48000, 32000};
const int iMaxStereoBitrates[] = {0, 0, 0};
const int iMaxMonoBitrates[] = {4, 4, 4};

// The whole rates MPEG-1 and MPEG-2 video both define; the 1000/1001 rates
// of a source round to them and are kept.
const int iFrameRates[] = {24, 25, 30, 50, 60};

const tCodecPageTable TABLE = {
    {3, FORMAT_LABELS, FORMAT_CODECS},
    true,
    false,
    60,
    3, iSampleRates, iMaxStereoBitrates, iMaxMonoBitrates,
    int(std::size(iBitRates)), iBitRates,
    int(std::size(iFrameRates)), iFrameRates,
};
}  // namespace

CodecParamPageMPEG::CodecParamPageMPEG(tCodecParams& params, wxWindow* parent)
    : TableDrivenCodecParamPage(params, parent, TABLE)
{
}

enumOutputCodec CodecParamPageMPEG::GetCodecIdFromIndex(int formatIndex)
{
    return CodecFromFormatIndex(TABLE.formats, formatIndex);
}

int CodecParamPageMPEG::GetIndexFromCodecId(enumOutputCodec codec)
{
    return FormatIndexFromCodec(TABLE.formats, codec);
}
