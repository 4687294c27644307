#include "platform/SoundServer.h"

#include "platform/PulseSoundServer.h"

namespace orvel::platform {

// The one place where the sound-server backend is chosen.
std::unique_ptr<SoundServer> connectSoundServer(std::string* error) {
    return PulseSoundServer::connect(error);
}

}  // namespace orvel::platform
