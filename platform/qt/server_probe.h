// The sound player's check, made before Qt meets the sound server, that
// the server takes a connection and answers within a time limit.
#pragma once

#include <atomic>
#include <chrono>

namespace platform {

enum class Server {
    Answers,  // the connection is ready
    Absent,   // no server, or it refused the connection
    Silent,   // it took the connection and did not answer in time
    Stopped,  // `stop` was set before it answered
};

// Connects to the sound server as Qt would, but on a loop of our own that
// gives up after `limit`, or when `stop` is set. Qt waits half a minute
// for a server that takes the connection and never answers, holding a lock
// that the end of the program needs; so Qt is only let near a server that
// has answered.
Server probeServer(std::chrono::milliseconds limit, const std::atomic<bool>& stop);

}  // namespace platform
