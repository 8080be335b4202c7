#include <gtest/gtest.h>

#include <wx/stattext.h>

#include "SettingsTestSupport.h"
#include "ui/settings/OutputFormatPanel.h"
#include "ui/settings/ResolutionPanel.h"
#include "ui/settings/ResolutionPanel3GP.h"
#include "ui/settings/VQualitySettingsPanel.h"

using namespace settingstest;

namespace {
class VideoPanels : public ::testing::Test {
protected:
    void TearDown() override { delete m_Host; }
    EventCounter* m_Host = new EventCounter;
};

// The value texts, in the order quality, bit rate, fps.
std::vector<wxString> ValueTexts(VQualitySettingsPanel* panel)
{
    std::vector<wxString> texts;
    for (wxStaticText* text : Find<wxStaticText>(panel))
        texts.push_back(text->GetLabel());
    return {texts.end() - 3, texts.end()};
}
}  // namespace

TEST_F(VideoPanels, OutputFormatKeepsItsChoiceInsideTheLabels)
{
    const wxString labels[] = {"swf format", "flv format"};
    auto* panel = new OutputFormatPanel(2, labels, m_Host, 1003);
    EXPECT_EQ(panel->GetFormatIndex(), 0);
    panel->SetFormatIndex(1);
    panel->SetFormatIndex(2);
    panel->SetFormatIndex(-1);
    EXPECT_EQ(panel->GetFormatIndex(), 1);
    EXPECT_TRUE(Find<wxRadioButton>(panel)[1]->GetValue());

    auto* empty = new OutputFormatPanel(-4, nullptr, m_Host, 1003);
    empty->SetFormatIndex(0);
    EXPECT_EQ(empty->GetFormatIndex(), 0);
    EXPECT_TRUE(Find<wxRadioButton>(empty).empty());
    EXPECT_EQ(m_Host->Total(), 0);
}

TEST_F(VideoPanels, OutputFormatReportsTheUsersChoice)
{
    const wxString labels[] = {"mp4 format", "psp format", "mov format"};
    auto* panel = new OutputFormatPanel(3, labels, m_Host, 1003);
    Click(Find<wxRadioButton>(panel)[2]);
    EXPECT_EQ(panel->GetFormatIndex(), 2);
    EXPECT_EQ(m_Host->Count(wxOUTPUT_FORMAT_CHANGED), 1);
    EXPECT_EQ(m_Host->LastId(), 1003);
}

TEST_F(VideoPanels, ResolutionIsClampedToWhatTheSpinsHold)
{
    auto* panel = new ResolutionPanel(m_Host, 1000);
    EXPECT_EQ(panel->GetResolution(), wxSize(640, 480));
    panel->SetResolution(wxSize(4000, 10));
    EXPECT_EQ(panel->GetResolution(), wxSize(2048, 24));
    panel->SetResolution(wxSize(720, 576));
    EXPECT_EQ(panel->GetResolution(), wxSize(720, 576));
    panel->SetResolution(wxSize(INT32_MIN, INT32_MAX));
    EXPECT_EQ(panel->GetResolution(), wxSize(24, 2048));
    EXPECT_EQ(m_Host->Total(), 0);

    auto spins = Find<wxSpinCtrl>(panel);
    ASSERT_EQ(spins.size(), 2u);
    Spin(spins[0], 800);
    Spin(spins[1], 600);
    EXPECT_EQ(m_Host->Count(wxRESOLUTION_CHANGED), 2);
    EXPECT_EQ(panel->GetResolution(), wxSize(800, 600));
}

TEST_F(VideoPanels, Resolution3GPPicksTheSizeBetweenWidthAndHeight)
{
    const std::pair<wxSize, int> cases[] = {
        {{640, 480}, 3}, {{320, 240}, 2}, {{176, 288}, 1}, {{2000, 2000}, 4},
        {{0, 0}, 0},     {{-5, -5}, 0},   {{352, 288}, 2}, {{1408, 1152}, 4},
    };
    for (const auto& [size, index] : cases)
        EXPECT_EQ(ResolutionPanel3GP::CalcIndexFromResolution(size), index) << size.x << "x" << size.y;

    auto* panel = new ResolutionPanel3GP(m_Host, 1000);
    EXPECT_EQ(panel->GetResolution(), wxSize(352, 288));
    panel->SetResolution(wxSize(640, 480));
    EXPECT_EQ(panel->GetResolution(), wxSize(704, 576));
    EXPECT_TRUE(Find<wxRadioButton>(panel)[3]->GetValue());
    EXPECT_EQ(m_Host->Total(), 0);

    Click(Find<wxRadioButton>(panel)[0]);
    EXPECT_EQ(panel->GetResolution(), wxSize(128, 96));
    EXPECT_EQ(m_Host->Count(wxRESOLUTION_CHANGED), 1);
}

TEST_F(VideoPanels, QualitySettersClampAndShowTheValue)
{
    auto* panel = new VQualitySettingsPanel(m_Host, 1001);
    EXPECT_EQ(ValueTexts(panel), (std::vector<wxString>{"10", "5000", "15"}));

    panel->SetBitrateRange(5000, 15000000);
    EXPECT_EQ(panel->GetBitrateMinValue(), 5000);
    EXPECT_EQ(panel->GetBitrateMaxValue(), 15000000);
    panel->SetBitrate(1234567);
    EXPECT_EQ(panel->GetBitrate(), 1234000);
    EXPECT_EQ(ValueTexts(panel)[1], "1234");
    panel->SetBitrate(999);
    EXPECT_EQ(panel->GetBitrate(), 5000);
    EXPECT_EQ(ValueTexts(panel)[1], "5");

    panel->SetFpsRange(5, 30);
    panel->SetFps(25);
    EXPECT_EQ(ValueTexts(panel)[2], "25");
    panel->SetFps(60);
    EXPECT_EQ(panel->GetFps(), 30);
    EXPECT_EQ(ValueTexts(panel)[2], "30");

    // Narrowing a range moves the value into it and the text follows.
    panel->SetFpsRange(5, 15);
    EXPECT_EQ(panel->GetFps(), 15);
    EXPECT_EQ(ValueTexts(panel)[2], "15");

    panel->SetQualityRange(0, 20);
    panel->SetQuality(-7);
    EXPECT_EQ(panel->GetQuality(), 0);
    EXPECT_EQ(m_Host->Total(), 0);
}

TEST_F(VideoPanels, EveryScrollOfEverySliderIsReported)
{
    auto* panel = new VQualitySettingsPanel(m_Host, 1001);
    auto sliders = Find<wxSlider>(panel);
    ASSERT_EQ(sliders.size(), 3u);

    // Dragging the quality thumb: one event per position, the text following.
    for (int quality = 11; quality <= 15; ++quality) {
        Slide(sliders[0], quality);
        EXPECT_EQ(ValueTexts(panel)[0], wxString::Format("%i", quality));
    }
    EXPECT_EQ(m_Host->Count(wxVQUALITY_CHANGED), 5);

    const wxEventType kinds[] = {wxEVT_SCROLL_TOP, wxEVT_SCROLL_BOTTOM, wxEVT_SCROLL_LINEUP,
                                 wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN,
                                 wxEVT_SCROLL_THUMBTRACK, wxEVT_SCROLL_THUMBRELEASE,
                                 wxEVT_SCROLL_CHANGED};
    for (wxSlider* slider : sliders) {
        for (wxEventType kind : kinds)
            Slide(slider, slider->GetValue(), kind);
    }
    EXPECT_EQ(m_Host->Count(wxVQUALITY_CHANGED), 5 + 3 * 9);
    EXPECT_EQ(m_Host->LastId(), 1001);

    Slide(sliders[1], 800);
    EXPECT_EQ(panel->GetBitrate(), 800000);
    EXPECT_EQ(ValueTexts(panel)[1], "800");
}
