// The mixer of the sound player: it sums the clips that sound at one time
// into frames for the audio device, in the device's sample format and with
// the same sample on every channel. It knows nothing of Qt, so that it can
// be tried on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// The ways a device may want its samples: unsigned 8-bit around 128,
// signed 16-bit or 32-bit integers, or floats from -1 to 1.
enum class SampleFormat { UInt8, Int16, Int32, Float };

struct MixFormat {
    SampleFormat sample = SampleFormat::Int16;
    int channels = 1;  // at least one

    int bytesPerFrame() const;
};

// Sums the clips that sound, in `format`; silence where none does.
class Mixer {
public:
    // The most clips heard at once; a new one takes the place of the oldest.
    static constexpr std::size_t kVoices = 8;

    // `clips` are 16-bit mono PCM, all at the device's rate.
    Mixer(std::vector<std::vector<std::int16_t>> clips, MixFormat format);

    // Starts clip `index` from its beginning, over whatever still sounds.
    // An index out of range or an empty clip is ignored.
    void start(std::size_t index);

    // True when no clip sounds.
    bool silent() const { return voices_.empty(); }

    // Fills `out` with as many whole frames as it holds; bytes past the
    // last whole frame are left as they are.
    void mix(std::vector<char>& out);

private:
    struct Voice {
        std::size_t clip;
        std::size_t at;
    };

    char* put(char* at, std::int16_t sample) const;

    std::vector<std::vector<std::int16_t>> clips_;
    MixFormat format_;
    std::vector<Voice> voices_;
};

}  // namespace platform
