#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace orvel {

// The MP3 encoder library, loaded at run time: the first candidate of a search list that
// loads and exports every entry point the recorder calls. Without one, MP3 recording is
// refused ("MP3Support").
//
// A bound library stays loaded as long as its LameLibrary lives; the process-wide one (shared)
// for the life of the process.
//
// Thread contract: load and shared on any thread (shared binds once); the entry points are
// plain C functions, each encoder stream used by one thread at a time.
class LameLibrary {
public:
    // LAME's own encoder state, opaque here.
    struct Flags;

    using InitFn = Flags* (*)();
    using SetIntFn = int (*)(Flags*, int);
    using InitParamsFn = int (*)(Flags*);
    using GetIntFn = int (*)(const Flags*);
    using EncodeFn = int (*)(Flags*, const short* left, const short* right, int samples,
                             unsigned char* out, int outSize);
    using EncodeInterleavedFn = int (*)(Flags*, short* pcm, int frames, unsigned char* out,
                                        int outSize);
    using FlushFn = int (*)(Flags*, unsigned char* out, int outSize);
    using CloseFn = int (*)(Flags*);
    using VersionFn = const char* (*)();
    using TagFrameFn = std::size_t (*)(const Flags*, unsigned char* out, std::size_t size);

    struct EntryPoints {
        InitFn init = nullptr;
        SetIntFn setInSampleRate = nullptr;
        SetIntFn setNumChannels = nullptr;
        SetIntFn setBitRate = nullptr;
        SetIntFn setMode = nullptr;
        SetIntFn setVbr = nullptr;
        SetIntFn setErrorProtection = nullptr;
        SetIntFn setCopyright = nullptr;
        SetIntFn setOriginal = nullptr;
        SetIntFn setExtension = nullptr;
        SetIntFn setWriteVbrTag = nullptr;
        InitParamsFn initParams = nullptr;
        GetIntFn getFrameSize = nullptr;
        EncodeFn encodeBuffer = nullptr;
        EncodeInterleavedFn encodeInterleaved = nullptr;
        FlushFn flush = nullptr;
        CloseFn close = nullptr;
        VersionFn version = nullptr;
        TagFrameFn tagFrame = nullptr;
    };

    // The search order: the standard library search for "libmp3lame.so.0", then that name in
    // the installation folder (when one is set), then "libmp3lame.so".
    static std::vector<std::string> defaultSearchList(const std::string& installPath);

    // Binds the first candidate that loads and has all entry points; an unbound library
    // (available() false) when none does.
    static std::unique_ptr<LameLibrary> load(const std::vector<std::string>& candidates);

    // The process-wide binding, made at the first call from the default search list with the
    // stored installation folder.
    static const LameLibrary& shared();

    ~LameLibrary();
    LameLibrary(const LameLibrary&) = delete;
    LameLibrary& operator=(const LameLibrary&) = delete;

    bool available() const { return m_handle != nullptr; }
    // The candidate that was bound; empty when none.
    const std::string& path() const { return m_path; }
    // The library's own version text; empty when none is bound.
    std::string version() const;
    // Valid only when available().
    const EntryPoints& api() const { return m_api; }

private:
    LameLibrary() = default;

    void* m_handle = nullptr;
    std::string m_path;
    EntryPoints m_api;
};

}  // namespace orvel
