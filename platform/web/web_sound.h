// Sounds played through the page's Web Audio, from PCM that the program
// makes itself. Browsers let a page sound only after the player has touched
// it: the audio starts on the first tap, click or key, and only then are the
// sounds made and handed to the browser. Before that, and where the browser
// has no Web Audio, nothing sounds and nothing complains.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace platform {

class WebSound {
public:
    // `prepare` is called once, when the audio starts: it adds the sounds.
    explicit WebSound(std::function<void(WebSound&)> prepare);
    ~WebSound();
    WebSound(const WebSound&) = delete;
    WebSound& operator=(const WebSound&) = delete;

    // Adds the next sound: 16-bit mono PCM at `sampleRate`, copied.
    void add(std::span<const std::int16_t> pcm, int sampleRate);
    // Plays sound `index` (in the order added) from its start.
    void play(int index);

    // The player's first touch or key.
    void start();

private:
    std::function<void(WebSound&)> prepare_;
    bool started_ = false;
    int count_ = 0;
};

}  // namespace platform
