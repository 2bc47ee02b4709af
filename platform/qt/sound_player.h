// Short sounds played through Qt Multimedia on a thread of their own.
//
// One audio sink is opened when the player is made and kept for its whole
// life, since a sink takes long to start; it is fed from a mixer of the
// clips that sound, only while one does, and paused after a second of
// silence. The sound server, the sink's timers and the mixing all live on
// the player's thread, so the GUI thread only posts a message per sound and
// never waits on audio. Before Qt meets the sound server, the player checks
// with a time limit that the server answers. With no server, one that does
// not answer, or a device that fails, the program plays on silently after
// one line on stderr, and Qt's own messages about audio are dropped.
// Make the player after the application object and let it go before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace platform {

class SoundPlayer final {
public:
    // Renders clip `index` (0 .. count - 1) as 16-bit mono PCM at
    // `sampleRate`. Called on the player's thread, once per clip, when the
    // device's rate is known.
    using Render = std::function<std::vector<std::int16_t>(std::size_t index, int sampleRate)>;

    SoundPlayer(std::size_t count, Render render);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts a clip over whatever still sounds. Returns at once; call it
    // from the GUI thread.
    void play(std::size_t index);

private:
    class Engine;
    std::unique_ptr<QThread> thread_;
    Engine* engine_;  // lives on thread_, deleted there
};

}  // namespace platform
