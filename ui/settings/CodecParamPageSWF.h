#pragma once
// The Flash family page (SWF, FLV): MP3 sound at the three rates both
// containers take.
#include "ui/settings/TableDrivenCodecParamPage.h"

class CodecParamPageSWF : public TableDrivenCodecParamPage {
public:
    CodecParamPageSWF(tCodecParams& params, wxWindow* parent);

    static enumOutputCodec GetCodecIdFromIndex(int formatIndex);
    static int GetIndexFromCodecId(enumOutputCodec codec);
};
