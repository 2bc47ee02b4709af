#pragma once

namespace platform {

// Makes the bundled Gothic face available to every window. Returns false
// when a font could not be loaded; the windows then fall back to the
// system's own faces.
bool registerBundledFonts();

}  // namespace platform
