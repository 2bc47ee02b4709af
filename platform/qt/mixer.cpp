// Summing the clips that sound and writing them in the device's format.
#include "mixer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {
namespace {

template <typename T>
char* store(char* at, T value)
{
    std::memcpy(at, &value, sizeof value);
    return at + sizeof value;
}

int bytesPerSample(SampleFormat sample)
{
    switch (sample) {
    case SampleFormat::UInt8: return 1;
    case SampleFormat::Int16: return 2;
    case SampleFormat::Int32:
    case SampleFormat::Float: return 4;
    }
    return 2;
}

}  // namespace

int MixFormat::bytesPerFrame() const
{
    return bytesPerSample(sample) * channels;
}

Mixer::Mixer(std::vector<std::vector<std::int16_t>> clips, MixFormat format)
    : clips_(std::move(clips)), format_(format)
{
}

void Mixer::start(std::size_t index)
{
    if (index >= clips_.size() || clips_[index].empty())
        return;
    if (voices_.size() == kVoices)
        voices_.erase(voices_.begin());
    voices_.push_back({index, 0});
}

void Mixer::mix(std::vector<char>& out)
{
    const int channels = format_.channels;
    const std::size_t frames = out.size() / static_cast<std::size_t>(format_.bytesPerFrame());
    char* at = out.data();
    for (std::size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (Voice& v : voices_) {
            const auto& clip = clips_[v.clip];
            if (v.at < clip.size())
                sum += clip[v.at++];
        }
        const auto sample = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
        for (int c = 0; c < channels; ++c)
            at = put(at, sample);
    }
    std::erase_if(voices_, [this](const Voice& v) { return v.at >= clips_[v.clip].size(); });
}

char* Mixer::put(char* at, std::int16_t s) const
{
    switch (format_.sample) {
    case SampleFormat::UInt8: return store(at, static_cast<std::uint8_t>((s >> 8) + 128));
    case SampleFormat::Int32: return store(at, static_cast<std::int32_t>(static_cast<std::uint32_t>(s) << 16));
    case SampleFormat::Float: return store(at, static_cast<float>(s) / 32768.0f);
    case SampleFormat::Int16: break;
    }
    return store(at, s);
}

}  // namespace platform
