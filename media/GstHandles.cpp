#include "media/GstHandles.h"

#include <sys/stat.h>

#include <mutex>

void ensureGstInitialized() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

std::string fileUri(const std::string& path) {
    GError* raw = nullptr;
    const GCharPtr uri(gst_filename_to_uri(path.c_str(), &raw));
    const GErrorPtr error(raw);
    return uri ? std::string(uri.get()) : std::string();
}

std::string mediaFileUri(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    return fileUri(path);
}

std::string errorText(GstMessage* message) {
    if (!message || GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR) {
        return {};
    }
    GError* raw = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &raw, &debug);
    const GErrorPtr error(raw);
    const GCharPtr details(debug);
    return error && error->message ? std::string(error->message) : std::string("media error");
}
