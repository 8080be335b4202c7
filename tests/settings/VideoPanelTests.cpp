#include <gtest/gtest.h>

#include <wx/stattext.h>

#include "SettingsTestSupport.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/ResolutionPanel.h"
#include "ui/settings/ResolutionPanel3GP.h"
#include "ui/settings/VQualitySettingsPanel.h"

using namespace settingstest;

namespace {
using VideoPanels = HostedTest;

// The value texts, in the order quality, bit rate, fps.
std::vector<wxString> ValueTexts(VQualitySettingsPanel* panel)
{
    std::vector<wxString> texts;
    for (wxStaticText* text : Find<wxStaticText>(panel))
        texts.push_back(text->GetLabel());
    return {texts.end() - 3, texts.end()};
}
}  // namespace

TEST_F(VideoPanels, OutputFormatKeepsItsChoiceInsideTheLabelsAndReportsTheUsers)
{
    const wxString labels[] = {"mp4 format", "psp format", "mov format"};
    auto* panel = new OutputFormatPanel(3, labels, m_Host, 1003);
    auto* empty = new OutputFormatPanel(-4, nullptr, m_Host, 1003);
    EXPECT_EQ(panel->GetFormatIndex(), 0);
    for (int index : {1, 3, -1}) {
        panel->SetFormatIndex(index);
        empty->SetFormatIndex(index);
    }
    EXPECT_EQ(panel->GetFormatIndex(), 1);
    EXPECT_TRUE(Find<wxRadioButton>(panel)[1]->GetValue());
    EXPECT_EQ(empty->GetFormatIndex(), 0);
    EXPECT_TRUE(Find<wxRadioButton>(empty).empty());
    EXPECT_EQ(m_Host->total, 0);

    Click(Find<wxRadioButton>(panel)[2]);
    EXPECT_EQ(panel->GetFormatIndex(), 2);
    EXPECT_EQ(m_Host->counts[wxOUTPUT_FORMAT_CHANGED], 1);
    EXPECT_EQ(m_Host->lastId, 1003);
}

TEST_F(VideoPanels, ResolutionsSnapSilentlyAndReportTheUsersChoice)
{
    auto* free = new ResolutionPanel(m_Host, 1000);
    EXPECT_EQ(free->GetResolution(), wxSize(640, 480));
    const std::pair<wxSize, wxSize> clamped[] = {
        {{4000, 10}, {2048, 24}}, {{720, 576}, {720, 576}}, {{INT32_MIN, INT32_MAX}, {24, 2048}}};
    for (const auto& [asked, kept] : clamped) {
        free->SetResolution(asked);
        EXPECT_EQ(free->GetResolution(), kept);
    }

    // The 3GP panel: half-way between the first size wide enough and the first high enough.
    const std::pair<wxSize, int> indices[] = {
        {{640, 480}, 3}, {{320, 240}, 2}, {{176, 288}, 1}, {{2000, 2000}, 4},
        {{0, 0}, 0},     {{-5, -5}, 0},   {{352, 288}, 2}, {{1408, 1152}, 4},
    };
    for (const auto& [size, index] : indices)
        EXPECT_EQ(ResolutionPanel3GP::CalcIndexFromResolution(size), index) << size.x << "x" << size.y;
    auto* h263 = new ResolutionPanel3GP(m_Host, 1000);
    EXPECT_EQ(h263->GetResolution(), wxSize(352, 288));
    h263->SetResolution(wxSize(640, 480));
    EXPECT_EQ(h263->GetResolution(), wxSize(704, 576));
    EXPECT_TRUE(Find<wxRadioButton>(h263)[3]->GetValue());
    EXPECT_EQ(m_Host->total, 0);

    auto spins = Find<wxSpinCtrl>(free);
    ASSERT_EQ(spins.size(), 2u);
    Spin(spins[0], 800);
    Spin(spins[1], 600);
    EXPECT_EQ(free->GetResolution(), wxSize(800, 600));
    Click(Find<wxRadioButton>(h263)[0]);
    EXPECT_EQ(h263->GetResolution(), wxSize(128, 96));
    EXPECT_EQ(m_Host->counts[wxRESOLUTION_CHANGED], 3);
}

TEST_F(VideoPanels, QualitySettersClampSilentlyAndEveryScrollIsReported)
{
    auto* panel = new VQualitySettingsPanel(m_Host, 1001);
    panel->SetBitrateRange(5000, 15000000);
    panel->SetFpsRange(5, 30);
    panel->SetQualityRange(0, 20);
    panel->SetBitrate(1234567);
    EXPECT_EQ(panel->GetBitrate(), 1234000);
    EXPECT_EQ(ValueTexts(panel)[1], "1234");
    panel->SetBitrate(999);
    EXPECT_EQ(panel->GetBitrate(), 5000);
    EXPECT_EQ(ValueTexts(panel)[1], "5");
    panel->SetFps(60);
    EXPECT_EQ(panel->GetFps(), 30);
    EXPECT_EQ(ValueTexts(panel)[2], "30");
    panel->SetFpsRange(5, 15);  // narrowing a range moves the value into it; the text follows
    EXPECT_EQ(panel->GetFps(), 15);
    EXPECT_EQ(ValueTexts(panel)[2], "15");
    panel->SetQuality(-7);
    EXPECT_EQ(panel->GetQuality(), 0);
    EXPECT_EQ(m_Host->total, 0);

    auto sliders = Find<wxSlider>(panel);
    ASSERT_EQ(sliders.size(), 3u);
    // Dragging the quality thumb: one event per position, the text following.
    for (int quality = 11; quality <= 15; ++quality) {
        Slide(sliders[0], quality);
        EXPECT_EQ(ValueTexts(panel)[0], wxString::Format("%i", quality));
    }
    EXPECT_EQ(m_Host->counts[wxVQUALITY_CHANGED], 5);
    for (wxSlider* slider : sliders) {
        for (wxEventType kind : {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP,
                                 wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                                 wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE,
                                 wxEVT_SCROLL_CHANGED})
            Slide(slider, slider->GetValue(), kind);
    }
    EXPECT_EQ(m_Host->counts[wxVQUALITY_CHANGED], 5 + 3 * 9);
    EXPECT_EQ(m_Host->lastId, 1001);
    Slide(sliders[1], 800);
    EXPECT_EQ(panel->GetBitrate(), 800000);
    EXPECT_EQ(ValueTexts(panel)[1], "800");
}
