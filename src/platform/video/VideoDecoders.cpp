// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/video/VideoSource.h"

#include <dlfcn.h>

#include <filesystem>

namespace lumidot {

namespace {

struct Loaded {
    const VideoDecoders* decoders = nullptr;
    std::string error;
};

// The folder of the running program, from the kernel's link to it.
std::filesystem::path programFolder()
{
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::filesystem::path{} : program.parent_path();
}

// An installed program finds the module in the library folder it was
// installed with, relative to itself, so that a moved prefix still works; a
// program in the build tree finds it through its run path, where the build
// puts the module's folder.
void* openModule(std::string& error)
{
    const std::filesystem::path folder = programFolder();
    if (!folder.empty()) {
        const std::filesystem::path installed = folder / LUMIDOT_MODULES_FROM_BIN / LUMIDOT_VIDEO_MODULE;
        if (std::filesystem::exists(installed))
            if (void* module = dlopen(installed.c_str(), RTLD_NOW | RTLD_LOCAL))
                return module;
    }
    void* module = dlopen(LUMIDOT_VIDEO_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (module)
        return module;
    error = dlerror();
#ifdef LUMIDOT_VIDEO_MODULE_BUILT
    // AddressSanitizer's dlopen calls the loader from its own library, whose
    // missing run path hides the build tree's folder: named whole, it loads.
    const std::filesystem::path built = std::filesystem::path(LUMIDOT_VIDEO_MODULE_BUILT);
    if (std::filesystem::exists(built))
        if ((module = dlopen(built.c_str(), RTLD_NOW | RTLD_LOCAL)))
            error.clear();
#endif
    return module;
}

Loaded load()
{
    Loaded loaded;
    void* module = openModule(loaded.error);
    if (!module)
        return loaded;
    using Entry = const VideoDecoders* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(module, kVideoDecodersEntry));
    if (!entry) {
        loaded.error = dlerror();
        return loaded;
    }
    // The module stays loaded for the rest of the process: its decoders'
    // objects may live as long as the program.
    loaded.decoders = entry();
    return loaded;
}

} // namespace

const VideoDecoders* videoDecoders(std::string& error)
{
    static const Loaded loaded = load();
    error = loaded.error;
    return loaded.decoders;
}

} // namespace lumidot
