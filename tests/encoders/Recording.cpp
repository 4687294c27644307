#include "Recording.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QSignalSpy>

#include "audio/CaptureEngine.h"
#include "audio/WavFileCaptureSource.h"
#include "audio/WavWriter.h"
#include "encoders/EncoderOutputFactory.h"
#include "support/TempDir.h"

namespace orvel::test {

RecordingRun recordThroughEngine(const std::vector<std::uint8_t>& pcm, const AudioFormat& format,
                                 const std::string& outPath, OutputFormat outputFormat,
                                 const EncoderSettings& settings, const LameLibrary* lame) {
    RecordingRun run;
    const TempDir sourceDir;
    const std::string input = sourceDir.file("source.wav");
    WavWriter writer;
    EXPECT_EQ(writer.open(input, format), WavWriter::Result::Ok);
    EXPECT_EQ(writer.append(pcm.data(), pcm.size()), WavWriter::Result::Ok);
    EXPECT_EQ(writer.close(), WavWriter::Result::Ok);

    CaptureEngine engine;
    engine.setOutputFactory(makeEncoderOutputFactory(settings, lame));
    QSignalSpy finished(&engine, &CaptureEngine::finished);
    CaptureOptions options;
    options.format = format;
    options.fileName = outPath;
    options.outputFormat = outputFormat;
    run.result = engine.start(
        std::make_unique<WavFileCaptureSource>(input, WavFileCaptureSource::Pacing::AsTaken),
        options);
    if (run.result != StartResult::Ok) {
        EXPECT_FALSE(engine.isRunning());
        return run;
    }
    EXPECT_TRUE(engine.waitUntilIdle(std::chrono::seconds(60)));
    if (finished.count() == 1) {
        run.finishedOk = finished.at(0).at(0).toBool();
        run.error = finished.at(0).at(1).toString();
    }
    return run;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace orvel::test
