#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "ui/settings/AudioSettingsPanel.h"
#include "ui/settings/AudioSettingsPanel3GP.h"
#include "ui/settings/AudioSettingsTable.h"

using namespace settingstest;

namespace {
// The MP4 page's table.
AudioSettingsTable Mp4Table()
{
    const int rates[] = {48000, 44100, 32000, 24000, 22050, 11025};
    const int stereo[] = {0, 0, 0, 1, 2, 6};
    const int mono[] = {1, 2, 4, 6, 6, 8};
    const int bitrates[] = {320000, 288000, 256000, 224000, 192000, 160000,
                            128000, 96000,  64000,  32000,  16000};
    AudioSettingsTable table(6, 11, true);
    std::copy(std::begin(rates), std::end(rates), table.piSampleRates);
    std::copy(std::begin(stereo), std::end(stereo), table.piMaxStereoBitrates);
    std::copy(std::begin(mono), std::end(mono), table.piMaxMonoBitrates);
    std::copy(std::begin(bitrates), std::end(bitrates), table.piBitRates);
    return table;
}

class AudioPanels : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Panel = new AudioSettingsPanel(Mp4Table(), m_Host, 1002);
        auto checks = Find<wxCheckBox>(m_Panel);
        auto choices = Find<wxChoice>(m_Panel);
        m_Enabled = checks[0];
        m_Stereo = checks[1];
        m_SampleRates = choices[0];
        m_Bitrates = choices[1];
    }
    void TearDown() override { delete m_Host; }

    wxString SelectedBitrate() const { return m_Bitrates->GetStringSelection(); }
    std::vector<wxString> Rates(std::initializer_list<const char*> kbps) const
    {
        return {kbps.begin(), kbps.end()};
    }

    EventCounter* m_Host = new EventCounter;
    AudioSettingsPanel* m_Panel = nullptr;
    wxCheckBox* m_Enabled = nullptr;
    wxCheckBox* m_Stereo = nullptr;
    wxChoice* m_SampleRates = nullptr;
    wxChoice* m_Bitrates = nullptr;
};
}  // namespace

TEST(AudioSettingsTableCopy, CopiesOwnTheirEntries)
{
    AudioSettingsTable original = Mp4Table();
    AudioSettingsTable copy(original);
    AudioSettingsTable assigned(1, 1, true);
    assigned = original;
    original.piSampleRates[0] = 1;
    original.piBitRates[10] = 2;
    EXPECT_EQ(copy.piSampleRates[0], 48000);
    EXPECT_EQ(assigned.piBitRates[10], 16000);
    EXPECT_EQ(assigned.iSampleRatesCount, 6);

    AudioSettingsTable& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.piMaxMonoBitrates[5], 8);
}

TEST_F(AudioPanels, StartsWithTheHighestRatesInStereo)
{
    EXPECT_TRUE(m_Panel->IsAudioEnabled());
    EXPECT_TRUE(m_Panel->IsStereo());
    EXPECT_EQ(m_SampleRates->GetString(1), "44100");
    EXPECT_EQ(m_Panel->GetSamplesPerSecond(), 48000);
    EXPECT_EQ(m_Panel->GetBitrate(), 320000);
    EXPECT_EQ(Entries(m_Bitrates), Rates({"320", "288", "256", "224", "192", "160", "128", "96", "64", "32", "16"}));
    EXPECT_EQ(m_Panel->GetBitrateFromIndex(0, false, 5), 64000);
    EXPECT_EQ(m_Panel->GetSamplesPerSecondFromIndex(4), 22050);
}

TEST_F(AudioPanels, MonoLowersASelectionThatIsNoLongerOffered)
{
    Click(m_Stereo, false);
    EXPECT_EQ(Entries(m_Bitrates).size(), 10u);
    EXPECT_EQ(Entries(m_Bitrates)[0], "288");
    EXPECT_EQ(m_Panel->GetBitrate(), 288000);

    Click(m_Stereo, true);
    EXPECT_EQ(m_Panel->GetBitrate(), 288000);  // still offered in stereo
    Choose(m_Bitrates, 6);
    EXPECT_EQ(SelectedBitrate(), "128");
    Click(m_Stereo, false);
    EXPECT_EQ(SelectedBitrate(), "128");
    EXPECT_EQ(m_Panel->GetBitrate(), 128000);
    EXPECT_EQ(m_Host->Count(wxAUDIO_SETTINGS_CHANGED), 4);
    EXPECT_EQ(m_Host->LastId(), 1002);
}

TEST_F(AudioPanels, ALowerSampleRateKeepsOrLowersTheSelection)
{
    Choose(m_Bitrates, 4);  // 192
    Choose(m_SampleRates, 5);
    EXPECT_EQ(Entries(m_Bitrates), Rates({"128", "96", "64", "32", "16"}));
    EXPECT_EQ(m_Panel->GetBitrate(), 128000);

    Choose(m_SampleRates, 0);
    Choose(m_Bitrates, 8);  // 64
    Choose(m_SampleRates, 5);
    EXPECT_EQ(m_Panel->GetBitrate(), 64000);
    EXPECT_EQ(SelectedBitrate(), "64");
    EXPECT_EQ(m_Host->Count(wxAUDIO_SETTINGS_CHANGED), 5);
}

TEST_F(AudioPanels, SettersSnapToTheTableAndStaySilent)
{
    m_Panel->SetSamplesPerSecond(22000);
    EXPECT_EQ(m_Panel->GetSamplesPerSecond(), 11025);
    m_Panel->SetSamplesPerSecond(100000);
    EXPECT_EQ(m_Panel->GetSamplesPerSecond(), 48000);
    m_Panel->SetSamplesPerSecond(44000);
    EXPECT_EQ(m_Panel->GetSamplesPerSecond(), 32000);

    m_Panel->SetSamplesPerSecond(48000);
    m_Panel->SetBitrate(300000);
    EXPECT_EQ(m_Panel->GetBitrate(), 288000);
    m_Panel->SetBitrate(1000);
    EXPECT_EQ(m_Panel->GetBitrate(), 16000);
    m_Panel->SetBitrate(INT32_MIN);
    EXPECT_EQ(m_Panel->GetBitrate(), 16000);

    m_Panel->SetSamplesPerSecond(11025);
    m_Panel->SetStereo(false);
    m_Panel->SetBitrate(320000);
    EXPECT_EQ(m_Panel->GetBitrate(), 64000);
    EXPECT_EQ(Entries(m_Bitrates)[0], "64");

    m_Panel->SetAudioEnabled(false);
    EXPECT_FALSE(m_Stereo->IsEnabled());
    EXPECT_FALSE(m_SampleRates->IsEnabled());
    EXPECT_FALSE(m_Bitrates->IsEnabled());
    m_Panel->SetAudioEnabled(true);
    EXPECT_TRUE(m_Bitrates->IsEnabled());
    EXPECT_EQ(m_Host->Total(), 0);
}

TEST_F(AudioPanels, UncheckingEnabledGreysTheRestOut)
{
    Click(m_Enabled, false);
    EXPECT_FALSE(m_Panel->IsAudioEnabled());
    EXPECT_FALSE(m_Stereo->IsEnabled());
    EXPECT_FALSE(m_SampleRates->IsEnabled());
    EXPECT_FALSE(m_Bitrates->IsEnabled());
    EXPECT_EQ(m_Host->Count(wxAUDIO_SETTINGS_CHANGED), 1);
}

TEST(AudioPanel3GP, OffersTheEightAmrRates)
{
    EventCounter* host = new EventCounter;
    auto* panel = new AudioSettingsPanel3GP(host, 1002);
    auto buttons = Find<wxRadioButton>(panel);
    ASSERT_EQ(buttons.size(), 8u);
    EXPECT_EQ(buttons[2]->GetLabel(), "5.90");
    EXPECT_EQ(buttons[6]->GetLabel(), "10.20");
    EXPECT_EQ(panel->GetBitrate(), 7400);

    const std::pair<int, int> cases[] = {{7000, 7400}, {20000, 12200}, {0, 4750},
                                         {4750, 4750}, {6000, 6700},   {INT32_MIN, 4750}};
    for (const auto& [asked, chosen] : cases) {
        panel->SetBitrate(asked);
        EXPECT_EQ(panel->GetBitrate(), chosen) << asked;
    }
    EXPECT_TRUE(buttons[0]->GetValue());
    panel->SetAudioEnabled(false);
    EXPECT_FALSE(buttons[7]->IsEnabled());
    EXPECT_EQ(host->Total(), 0);

    auto* enabled = Find<wxCheckBox>(panel)[0];
    Click(enabled, true);
    EXPECT_TRUE(buttons[7]->IsEnabled());
    Click(buttons[7]);
    EXPECT_EQ(panel->GetBitrate(), 12200);
    EXPECT_EQ(host->Count(wxAUDIO_SETTINGS_CHANGED), 2);
    delete host;
}
