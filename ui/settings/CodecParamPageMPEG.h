#pragma once
// The MPEG family page (program stream, transport stream, DVD): MPEG-1 or
// MPEG-2 pictures at the frame rates those codecs define, MP2 sound at
// 32000..48000 Hz.
#include "ui/settings/TableDrivenCodecParamPage.h"

class CodecParamPageMPEG : public TableDrivenCodecParamPage {
public:
    CodecParamPageMPEG(tCodecParams& params, wxWindow* parent);

    static enumOutputCodec GetCodecIdFromIndex(int formatIndex);
    static int GetIndexFromCodecId(enumOutputCodec codec);
};
