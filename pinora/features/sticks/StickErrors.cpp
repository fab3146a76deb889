#include "StickErrors.h"

#include <cstdio>

namespace pinora {

std::string TableMessageText(const std::string& format, const std::string& path) {
    std::string text(format.size() + path.size() + 1, '\0');
    const int n = std::snprintf(text.data(), text.size(), format.c_str(), path.c_str());
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

}  // namespace pinora
