#pragma once

#include "audio/CaptureEngine.h"
#include "encoders/EncoderSettings.h"

namespace orvel {

class LameLibrary;

// The capture engine's output factory for all three formats: WAV files as the engine makes
// them, MP3 through `lame` (the process-wide binding when none is given) and WMA, both
// configured from `settings` as they stand when the factory is made.
//
// The MP3 output takes 16-bit PCM at 32000 Hz or more: run the chosen format through
// settings.mp3RecordingFormat before starting an MP3 recording.
//
// Thread contract: the factory is called by the engine on its owner thread; `lame` must
// outlive it.
OutputFactory makeEncoderOutputFactory(EncoderSettings settings, const LameLibrary* lame = nullptr);

}  // namespace orvel
