#include "app/dialogs/about_box.h"

#include "app/version.h"

namespace tarnwick {

std::string AboutText(bool internalMode) {
    const std::string maker = "Lumivar Delft, The Netherlands";
    const std::string product = internalMode ? "Tarnwick - Internal Version" : "Tarnwick";
    return maker + "\r\n" + product + "\r\n" + "Version: " + ApplicationVersion;
}

} // namespace tarnwick
