// Keeps the sound player's troubles to one line of the program's own on
// stderr. Qt's messages about audio, and whatever is logged on the sound
// thread, are dropped by a message handler that passes every other message
// on to the one it replaced.
#pragma once

class QThread;

namespace platform {

// Puts the handler in place for the rest of the process; later calls do
// nothing.
void installQuietAudio();

// The thread whose messages are all dropped; nullptr for none.
void setSoundThread(QThread* thread);

// Says on stderr that there is no sound, and `why`, the first time it is
// called in the process; later calls say nothing.
void tellOnce(const char* why);

}  // namespace platform
