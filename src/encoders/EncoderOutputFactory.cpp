#include "encoders/EncoderOutputFactory.h"

#include "audio/WavOutput.h"
#include "encoders/LameLibrary.h"
#include "encoders/Mp3Output.h"
#include "encoders/WmaOutput.h"
#include "encoders/WmaProfile.h"

namespace orvel {

OutputFactory makeEncoderOutputFactory(EncoderSettings settings, const LameLibrary* lame) {
    return [settings = std::move(settings), lame](
               const OutputRequest& request, StartResult& result) -> std::unique_ptr<AudioOutput> {
        switch (request.format) {
            case OutputFormat::Wav:
                return openWavOutput(request, result);
            case OutputFormat::Mp3: {
                const LameLibrary& library = lame != nullptr ? *lame : LameLibrary::shared();
                return Mp3Output::open(library, request, settings.mp3BitRateKbps(), settings.mp3,
                                       result);
            }
            case OutputFormat::Wma: {
                // With no profile chosen, the first one that can take the recording serves.
                int profile = settings.wmaProfile;
                if (WmaProfile::at(profile) == nullptr) {
                    profile = WmaProfile::firstFor(request.audio);
                }
                return WmaOutput::open(request, profile, settings.wmaAttributes, result);
            }
        }
        result = StartResult::FormatError;
        return nullptr;
    };
}

}  // namespace orvel
