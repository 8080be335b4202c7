#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "ui/settings/AudioSettingsPanel.h"
#include "ui/settings/AudioSettingsPanel3GP.h"
#include "ui/settings/AudioSettingsTable.h"

using namespace settingstest;

namespace {
const std::vector<wxString> ALL_KBPS = {"320", "288", "256", "224", "192", "160",
                                        "128", "96",  "64",  "32",  "16"};

// The MP4 page's table.
AudioSettingsTable Mp4Table()
{
    const int rates[] = {48000, 44100, 32000, 24000, 22050, 11025};
    const int stereo[] = {0, 0, 0, 1, 2, 6}, mono[] = {1, 2, 4, 6, 6, 8};
    AudioSettingsTable table(6, 11, true);
    for (int i = 0; i < 6; ++i) {
        table.piSampleRates[i] = rates[i];
        table.piMaxStereoBitrates[i] = stereo[i];
        table.piMaxMonoBitrates[i] = mono[i];
    }
    for (int i = 0; i < 11; ++i)
        table.piBitRates[i] = wxAtoi(ALL_KBPS[i]) * 1000;
    return table;
}

class AudioPanels : public HostedTest {
protected:
    AudioSettingsPanel* m_Panel = new AudioSettingsPanel(Mp4Table(), m_Host, 1002);
    wxCheckBox* m_Enabled = Find<wxCheckBox>(m_Panel)[0];
    wxCheckBox* m_Stereo = Find<wxCheckBox>(m_Panel)[1];
    wxChoice* m_SampleRates = Find<wxChoice>(m_Panel)[0];
    wxChoice* m_Bitrates = Find<wxChoice>(m_Panel)[1];
};
using AudioPanel3GP = HostedTest;
}  // namespace

TEST(AudioSettingsTableCopy, CopiesOwnTheirEntries)
{
    AudioSettingsTable original = Mp4Table();
    AudioSettingsTable copy(original);
    AudioSettingsTable assigned(1, 1, true);
    assigned = original;
    AudioSettingsTable& self = assigned;
    assigned = self;
    original.piSampleRates[0] = 1;
    original.piBitRates[10] = 2;
    EXPECT_EQ(copy.piSampleRates[0], 48000);
    EXPECT_EQ(assigned.piBitRates[10], 16000);
    EXPECT_EQ(assigned.iSampleRatesCount, 6);
    EXPECT_EQ(assigned.piMaxMonoBitrates[5], 8);
}

TEST_F(AudioPanels, TheBitrateListFollowsSampleRateAndStereoKeepingOrLoweringTheSelection)
{
    EXPECT_TRUE(m_Panel->IsAudioEnabled());
    EXPECT_TRUE(m_Panel->IsStereo());
    EXPECT_EQ(m_Panel->GetSamplesPerSecond(), 48000);

    // The user's actions in this order (-1: not done): sample-rate choice,
    // stereo check, bit-rate choice. Then the list offered starts at ALL_KBPS[from].
    const struct { int rate, stereo, bitrate; int from; const char* selected; } steps[] = {
        {-1, -1, -1, 0, "320"},  // as the panel starts
        {-1, 0, -1, 1, "288"},  // mono at 48 kHz lowers 320
        {-1, 1, -1, 0, "288"},  // still offered in stereo
        {-1, -1, 6, 0, "128"},
        {-1, 0, -1, 1, "128"},
        {-1, 1, 4, 0, "192"},
        {5, -1, -1, 6, "128"},  // 11025 Hz lowers 192
        {0, -1, 8, 0, "64"},
        {5, -1, -1, 6, "64"},
    };
    int actions = 0;
    for (const auto& step : steps) {
        if (step.rate >= 0) { Choose(m_SampleRates, step.rate); ++actions; }
        if (step.stereo >= 0) { Click(m_Stereo, step.stereo); ++actions; }
        if (step.bitrate >= 0) { Choose(m_Bitrates, step.bitrate); ++actions; }
        SCOPED_TRACE(testing::Message() << "step " << &step - steps);
        EXPECT_EQ(Entries(m_Bitrates), std::vector<wxString>(ALL_KBPS.begin() + step.from, ALL_KBPS.end()));
        EXPECT_EQ(m_Bitrates->GetStringSelection(), step.selected);
        EXPECT_EQ(m_Panel->GetBitrate(), wxAtoi(step.selected) * 1000);
    }
    EXPECT_EQ(m_Host->counts[wxAUDIO_SETTINGS_CHANGED], actions);
    EXPECT_EQ(m_Host->lastId, 1002);
}

TEST_F(AudioPanels, SettersSnapToTheTableAndStaySilent)
{
    using Cases = std::pair<int, int>[3];
    for (auto [asked, kept] : Cases{{22000, 11025}, {100000, 48000}, {44000, 32000}}) {
        m_Panel->SetSamplesPerSecond(asked);
        EXPECT_EQ(m_Panel->GetSamplesPerSecond(), kept) << asked;
    }
    m_Panel->SetSamplesPerSecond(48000);
    for (auto [asked, kept] : Cases{{300000, 288000}, {1000, 16000}, {INT32_MIN, 16000}}) {
        m_Panel->SetBitrate(asked);
        EXPECT_EQ(m_Panel->GetBitrate(), kept) << asked;
    }
    m_Panel->SetSamplesPerSecond(11025);
    m_Panel->SetStereo(false);
    m_Panel->SetBitrate(320000);
    EXPECT_EQ(m_Panel->GetBitrate(), 64000);
    EXPECT_EQ(Entries(m_Bitrates)[0], "64");
    EXPECT_EQ(m_Host->total, 0);

    // Switching sound off greys the rest out, whether by the setter or by the user.
    for (bool byUser : {false, true}) {
        if (byUser)
            Click(m_Enabled, false);
        else
            m_Panel->SetAudioEnabled(false);
        EXPECT_FALSE(m_Panel->IsAudioEnabled());
        for (wxWindow* control : std::initializer_list<wxWindow*>{m_Stereo, m_SampleRates, m_Bitrates})
            EXPECT_FALSE(control->IsEnabled()) << byUser;
        EXPECT_EQ(m_Host->counts[wxAUDIO_SETTINGS_CHANGED], byUser ? 1 : 0);
        m_Panel->SetAudioEnabled(true);
        EXPECT_TRUE(m_Bitrates->IsEnabled());
    }
}

TEST_F(AudioPanel3GP, OffersTheEightAmrRates)
{
    auto* panel = new AudioSettingsPanel3GP(m_Host, 1002);
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
    EXPECT_EQ(m_Host->total, 0);

    Click(Find<wxCheckBox>(panel)[0], true);
    EXPECT_TRUE(buttons[7]->IsEnabled());
    Click(buttons[7]);
    EXPECT_EQ(panel->GetBitrate(), 12200);
    EXPECT_EQ(m_Host->counts[wxAUDIO_SETTINGS_CHANGED], 2);
}
