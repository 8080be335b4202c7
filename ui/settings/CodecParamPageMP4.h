#pragma once
// The MP4 family page: MP4 and MOV with H.264 or MPEG-4 Part 2 pictures,
// PSP with MPEG-4 Part 2; AAC sound at 11025..48000 Hz; up to 60 fps.
#include "ui/settings/TableDrivenCodecParamPage.h"

class CodecParamPageMP4 : public TableDrivenCodecParamPage {
public:
    CodecParamPageMP4(tCodecParams& params, wxWindow* parent);

    static enumOutputCodec GetCodecIdFromIndex(int formatIndex);
    static int GetIndexFromCodecId(enumOutputCodec codec);
};
