#include "encoders/LameLibrary.h"

#include <dlfcn.h>

#include <QLoggingCategory>

#include "config/SettingsStore.h"

Q_LOGGING_CATEGORY(lcMp3, "orvel.mp3")

namespace orvel {

namespace {

constexpr char kLibraryName[] = "libmp3lame.so.0";
constexpr char kDevelopmentName[] = "libmp3lame.so";

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(dlsym(handle, name));
    if (out == nullptr) {
        qCWarning(lcMp3) << "the MP3 encoder library lacks" << name;
    }
    return out != nullptr;
}

bool bindAll(void* handle, LameLibrary::EntryPoints& api) {
    // Every symbol is looked up, so the log names all that are missing.
    bool ok = true;
    ok &= resolve(handle, "lame_init", api.init);
    ok &= resolve(handle, "lame_set_in_samplerate", api.setInSampleRate);
    ok &= resolve(handle, "lame_set_num_channels", api.setNumChannels);
    ok &= resolve(handle, "lame_set_brate", api.setBitRate);
    ok &= resolve(handle, "lame_set_mode", api.setMode);
    ok &= resolve(handle, "lame_set_VBR", api.setVbr);
    ok &= resolve(handle, "lame_set_error_protection", api.setErrorProtection);
    ok &= resolve(handle, "lame_set_copyright", api.setCopyright);
    ok &= resolve(handle, "lame_set_original", api.setOriginal);
    ok &= resolve(handle, "lame_set_extension", api.setExtension);
    ok &= resolve(handle, "lame_set_bWriteVbrTag", api.setWriteVbrTag);
    ok &= resolve(handle, "lame_init_params", api.initParams);
    ok &= resolve(handle, "lame_get_framesize", api.getFrameSize);
    ok &= resolve(handle, "lame_encode_buffer", api.encodeBuffer);
    ok &= resolve(handle, "lame_encode_buffer_interleaved", api.encodeInterleaved);
    ok &= resolve(handle, "lame_encode_flush", api.flush);
    ok &= resolve(handle, "lame_close", api.close);
    ok &= resolve(handle, "get_lame_version", api.version);
    ok &= resolve(handle, "lame_get_lametag_frame", api.tagFrame);
    return ok;
}

}  // namespace

std::vector<std::string> LameLibrary::defaultSearchList(const std::string& installPath) {
    std::vector<std::string> list{kLibraryName};
    if (!installPath.empty()) {
        std::string folder = installPath;
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
        list.push_back(folder == "/" ? "/" + std::string(kLibraryName)
                                     : folder + "/" + kLibraryName);
    }
    list.emplace_back(kDevelopmentName);
    return list;
}

std::unique_ptr<LameLibrary> LameLibrary::load(const std::vector<std::string>& candidates) {
    std::unique_ptr<LameLibrary> library(new LameLibrary);
    for (const std::string& candidate : candidates) {
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            qCDebug(lcMp3) << "cannot load" << QString::fromStdString(candidate) << dlerror();
            continue;
        }
        EntryPoints api;
        if (!bindAll(handle, api)) {
            dlclose(handle);
            continue;
        }
        library->m_handle = handle;
        library->m_path = candidate;
        library->m_api = api;
        qCDebug(lcMp3) << "MP3 encoder" << QString::fromStdString(library->version()) << "from"
                       << QString::fromStdString(candidate);
        return library;
    }
    qCWarning(lcMp3) << "no MP3 encoder library found";
    return library;
}

const LameLibrary& LameLibrary::shared() {
    static const std::unique_ptr<LameLibrary> library =
        load(defaultSearchList(SettingsStore().readInstallPath()));
    return *library;
}

LameLibrary::~LameLibrary() {
    if (m_handle != nullptr) {
        dlclose(m_handle);
    }
}

std::string LameLibrary::version() const {
    if (m_handle == nullptr) {
        return {};
    }
    const char* text = m_api.version();
    return text != nullptr ? text : "";
}

}  // namespace orvel
