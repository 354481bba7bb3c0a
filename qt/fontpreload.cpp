#include "qt/fontpreload.h"

#include <system_error>

#ifdef FUELIX_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace fuelix {

std::future<void> preloadFontConfiguration()
{
#ifdef FUELIX_HAVE_FONTCONFIG
    try {
        // Parsing the configuration and mapping the caches is what FcInit does; Qt's font
        // database later finds the configuration in place. fontconfig is thread-safe here.
        return std::async(std::launch::async, [] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread: Qt reads the configuration itself, only a little later.
    }
#endif
    return {};
}

} // namespace fuelix
