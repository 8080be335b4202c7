#include "ui/settings/FormatFamilies.h"

#include <algorithm>

namespace {
constexpr int mp4Family = 1;
}  // namespace

const std::vector<tFormatFamily>& FormatFamilies()
{
    static const std::vector<tFormatFamily> families = {
        {"3GP", {OC_3GP, OC_3G2}},
        {"MP4", {OC_MP4, OC_MP4_H265, OC_MP4_AV1, OC_MP4_PART2, OC_PSP, OC_MOV, OC_MOV_H265, OC_MOV_PART2}},
        {"Flash", {OC_FLV, OC_SWF}},
        {"MPEG", {OC_MPG, OC_M2V, OC_VOB}},
        {"Matroska / WebM", {OC_MKV_H264, OC_MKV_H265, OC_MKV_AV1, OC_MKV_VP9, OC_WEBM_VP9, OC_WEBM_AV1}},
    };
    return families;
}

int FamilyOf(enumOutputCodec codec)
{
    const std::vector<tFormatFamily>& families = FormatFamilies();
    for (size_t i = 0; i < families.size(); ++i) {
        const std::vector<enumOutputCodec>& codecs = families[i].codecs;
        if (std::find(codecs.begin(), codecs.end(), codec) != codecs.end())
            return int(i);
    }
    return mp4Family;
}
