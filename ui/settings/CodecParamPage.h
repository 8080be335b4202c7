#pragma once
// The body of the codec settings dialog for one output family. A page edits
// the record it is given in place: building it loads every panel from the
// record and writes back what the panel holds, and afterwards every change a
// panel reports is copied into the record.
#include <wx/panel.h>

#include "media/CodecParams.h"

class VQualitySettingsPanel;

class CodecParamPage : public wxPanel {
public:
    CodecParamPage(tCodecParams& params, wxWindow* parent);

    // The containers of a family, in the order the format panel offers them;
    // the first is the family's default.
    struct tFormatChoices {
        int iCount;
        const char* const* pLabels;
        const enumOutputCodec* pCodecs;
    };
    // The codec at `formatIndex`, or the first one for any other index.
    static enumOutputCodec CodecFromFormatIndex(const tFormatChoices& formats, int formatIndex);
    // The position of `codec`, or 0 when it is not one of the family's.
    static int FormatIndexFromCodec(const tFormatChoices& formats, enumOutputCodec codec);

protected:
    // Ids of the four panels; their events are routed by these.
    enum { ID_RESOLUTION = 1000, ID_VQUALITY, ID_AUDIO, ID_FORMAT };

    // Two rows: resolution and quality, then audio and format. A null
    // format panel is left out.
    void LayOutPanels(wxWindow* resolution, wxWindow* quality, wxWindow* audio, wxWindow* format);
    // Loads quality, video bit rate and frame rate (5..maxFps) into the
    // panel and writes back what it holds.
    void NormaliseVideoQuality(VQualitySettingsPanel* panel, int maxFps);
    void ReadVideoQuality(const VQualitySettingsPanel* panel);

    tCodecParams& m_Params;
};
