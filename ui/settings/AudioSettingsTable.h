#pragma once
// The sample rates and bit rates an audio settings panel offers, and for each
// sample rate the highest bit rate allowed in stereo and in mono. A value
// type: copies own their own arrays.

class AudioSettingsTable {
public:
    // Entries are left unset unless zeroFill is true; the owner fills them.
    AudioSettingsTable(int sampleRatesCount, int bitRatesCount, bool zeroFill);
    AudioSettingsTable(const AudioSettingsTable& other);
    AudioSettingsTable& operator=(const AudioSettingsTable& other);
    ~AudioSettingsTable();

    int iSampleRatesCount;
    int* piSampleRates;        // Hz, highest first
    int iBitRatesCount;
    int* piBitRates;           // bit/s, highest first
    int* piMaxStereoBitrates;  // per sample rate: position in piBitRates of the highest allowed
    int* piMaxMonoBitrates;    // the same for mono

private:
    void Swap(AudioSettingsTable& other) noexcept;
};
