#include "ui/settings/AudioSettingsTable.h"

#include <algorithm>
#include <utility>

namespace {
int* NewArray(int count, bool zeroFill)
{
    const int size = std::max(count, 0);
    return zeroFill ? new int[size]() : new int[size];
}

int* CopyArray(const int* source, int count)
{
    int* copy = NewArray(count, false);
    std::copy(source, source + std::max(count, 0), copy);
    return copy;
}
}  // namespace

AudioSettingsTable::AudioSettingsTable(int sampleRatesCount, int bitRatesCount, bool zeroFill)
    : iSampleRatesCount(std::max(sampleRatesCount, 0)),
      piSampleRates(NewArray(sampleRatesCount, zeroFill)),
      iBitRatesCount(std::max(bitRatesCount, 0)),
      piBitRates(NewArray(bitRatesCount, zeroFill)),
      piMaxStereoBitrates(NewArray(sampleRatesCount, zeroFill)),
      piMaxMonoBitrates(NewArray(sampleRatesCount, zeroFill))
{
}

AudioSettingsTable::AudioSettingsTable(const AudioSettingsTable& other)
    : iSampleRatesCount(other.iSampleRatesCount),
      piSampleRates(CopyArray(other.piSampleRates, other.iSampleRatesCount)),
      iBitRatesCount(other.iBitRatesCount),
      piBitRates(CopyArray(other.piBitRates, other.iBitRatesCount)),
      piMaxStereoBitrates(CopyArray(other.piMaxStereoBitrates, other.iSampleRatesCount)),
      piMaxMonoBitrates(CopyArray(other.piMaxMonoBitrates, other.iSampleRatesCount))
{
}

AudioSettingsTable& AudioSettingsTable::operator=(const AudioSettingsTable& other)
{
    if (this != &other) {
        AudioSettingsTable copy(other);
        Swap(copy);
    }
    return *this;
}

AudioSettingsTable::~AudioSettingsTable()
{
    delete[] piSampleRates;
    delete[] piBitRates;
    delete[] piMaxStereoBitrates;
    delete[] piMaxMonoBitrates;
}

void AudioSettingsTable::Swap(AudioSettingsTable& other) noexcept
{
    std::swap(iSampleRatesCount, other.iSampleRatesCount);
    std::swap(piSampleRates, other.piSampleRates);
    std::swap(iBitRatesCount, other.iBitRatesCount);
    std::swap(piBitRates, other.piBitRates);
    std::swap(piMaxStereoBitrates, other.piMaxStereoBitrates);
    std::swap(piMaxMonoBitrates, other.piMaxMonoBitrates);
}
