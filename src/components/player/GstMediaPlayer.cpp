#include "components/player/CreateMediaPlayer.h"
#include "components/player/PlayerFault.h"

// The GStreamer player: not built yet.
std::unique_ptr<IMediaPlayer> CreateMediaPlayer()
{
    throw PlayerFault(1, 0, "the media player is not built yet");
}
