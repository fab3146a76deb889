#include "App.h"

namespace pinora {

AppState& App() {
    static AppState state;
    return state;
}

}  // namespace pinora
