#include "library/ZipLibrary.h"

#include <dlfcn.h>

#include <memory>

namespace {

struct Unload {
    void operator()(void* handle) const { dlclose(handle); }
};

class LoadedZip {
public:
    LoadedZip() : m_handle(dlopen(VOCALIA_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL)) {
        if (!m_handle) {
            return;
        }
        m_ready = bind(m_library.open, "zip_open") && bind(m_library.discard, "zip_discard") &&
                  bind(m_library.entryCount, "zip_get_num_entries") &&
                  bind(m_library.entryName, "zip_get_name") &&
                  bind(m_library.statIndex, "zip_stat_index") &&
                  bind(m_library.openEntry, "zip_fopen_index") &&
                  bind(m_library.readEntry, "zip_fread") &&
                  bind(m_library.closeEntry, "zip_fclose");
    }

    const ZipLibrary* library() const { return m_ready ? &m_library : nullptr; }

private:
    template <typename Function>
    bool bind(Function& function, const char* name) {
        function = reinterpret_cast<Function>(dlsym(m_handle.get(), name));
        return function != nullptr;
    }

    std::unique_ptr<void, Unload> m_handle;
    ZipLibrary m_library;
    bool m_ready = false;
};

}  // namespace

const ZipLibrary* ZipLibrary::Get(std::string& error) {
    static const LoadedZip loaded;
    if (!loaded.library()) {
        error = "无法读取zip压缩包: 没有安装 " VOCALIA_LIBZIP_SONAME;
    }
    return loaded.library();
}
