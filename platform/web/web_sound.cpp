#include "web_sound.h"

#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

namespace platform {
namespace {

using emscripten::val;

WebSound* theSound = nullptr;

// The audio context, made inside the player's gesture so that it runs.
EM_JS(bool, permoro_audio_start, (), {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context)
        return false;
    try {
        Module.permoroAudio = { context: new Context(), buffers: [] };
    } catch (e) {
        return false;
    }
    return true;
});

EM_JS(void, permoro_audio_add, (const std::int16_t* pcm, int length, int rate), {
    const audio = Module.permoroAudio;
    if (!audio || length <= 0)
        return;
    const buffer = audio.context.createBuffer(1, length, rate);
    const samples = buffer.getChannelData(0);
    const from = pcm >> 1;
    for (let i = 0; i < length; ++i)
        samples[i] = HEAP16[from + i] / 32768;
    audio.buffers.push(buffer);
});

EM_JS(void, permoro_audio_play, (int index), {
    const audio = Module.permoroAudio;
    if (!audio || !audio.buffers[index])
        return;
    if (audio.context.state === 'suspended')
        audio.context.resume().catch(() => {});
    const source = audio.context.createBufferSource();
    source.buffer = audio.buffers[index];
    source.connect(audio.context.destination);
    source.start();
});

const char* const kGestures[] = {"pointerdown", "keydown", "touchend"};

void gestures(const char* method)
{
    const val window = val::global("window");
    for (const char* event : kGestures)
        window.call<void>(method, std::string(event), val::module_property("permoroAudioGesture"), true);
}

void onGesture(val)
{
    if (theSound)
        theSound->start();
}

}  // namespace

WebSound::WebSound(std::function<void(WebSound&)> prepare) : prepare_(std::move(prepare))
{
    theSound = this;
    gestures("addEventListener");
}

WebSound::~WebSound()
{
    if (theSound == this) {
        gestures("removeEventListener");
        theSound = nullptr;
    }
}

void WebSound::start()
{
    if (started_)
        return;
    started_ = true;
    gestures("removeEventListener");
    if (permoro_audio_start() && prepare_)
        prepare_(*this);
}

void WebSound::add(std::span<const std::int16_t> pcm, int sampleRate)
{
    permoro_audio_add(pcm.data(), static_cast<int>(pcm.size()), sampleRate);
    ++count_;
}

void WebSound::play(int index)
{
    if (started_ && index >= 0 && index < count_)
        permoro_audio_play(index);
}

}  // namespace platform

EMSCRIPTEN_BINDINGS(permoro_sound)
{
    emscripten::function("permoroAudioGesture", &platform::onGesture);
}
