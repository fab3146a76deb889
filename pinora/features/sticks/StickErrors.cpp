#include "StickErrors.h"

#include "FilledText.h"

namespace pinora {

// The library's text is filled by position, never used as a printf format.
std::string TableMessageText(const std::string& text, const std::string& path) {
    return uikit::FillByPosition(text, {path});
}

}  // namespace pinora
