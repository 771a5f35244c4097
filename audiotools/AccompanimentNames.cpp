#include "audiotools/AccompanimentNames.h"

namespace AccompanimentNames {

std::string defaultOutput(const std::string& input) {
    const size_t dot = input.rfind('.');
    const std::string stem = dot == std::string::npos ? std::string() : input.substr(0, dot);
    return stem + "(music).mp3";
}

}  // namespace AccompanimentNames
