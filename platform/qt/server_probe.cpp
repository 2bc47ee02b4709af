// Asking the sound server, through libpulse, whether it answers in time.
#include "server_probe.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>

namespace platform {

Server probeServer(std::chrono::milliseconds limit, const std::atomic<bool>& stop)
{
    using Clock = std::chrono::steady_clock;
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return Server::Absent;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "sound check");
    Server result = Server::Absent;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
        const auto deadline = Clock::now() + limit;
        result = Server::Silent;
        while (Clock::now() < deadline) {
            if (stop) {
                result = Server::Stopped;
                break;
            }
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                result = Server::Answers;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                result = Server::Absent;
                break;
            }
            if (pa_mainloop_prepare(loop, 20000) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
                break;
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return result;
}

}  // namespace platform
