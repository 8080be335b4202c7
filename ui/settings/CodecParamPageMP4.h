#pragma once
// The MP4 family page (MP4, PSP, MOV): AAC sound at 11025..48000 Hz. The
// container is kept from the record; the page offers no choice of it.
#include "ui/settings/TableDrivenCodecParamPage.h"

class CodecParamPageMP4 : public TableDrivenCodecParamPage {
public:
    CodecParamPageMP4(tCodecParams& params, wxWindow* parent);

    static enumOutputCodec GetCodecIdFromIndex(int formatIndex);
    static int GetIndexFromCodecId(enumOutputCodec codec);
};
