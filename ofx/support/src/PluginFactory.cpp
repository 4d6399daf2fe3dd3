#include "ofx/support/PluginFactory.h"

namespace OFX {

PluginFactory::PluginFactory(const std::string& identifier, unsigned int versionMajor,
                             unsigned int versionMinor)
    : identifier_(identifier), uid_(makeUID(identifier, versionMajor, versionMinor)),
      versionMajor_(versionMajor), versionMinor_(versionMinor) {}

std::string PluginFactory::makeUID(const std::string& identifier, unsigned int versionMajor,
                                   unsigned int versionMinor) {
    // Identifiers hold no whitespace, so a space cannot make two keys collide.
    return identifier + " " + std::to_string(versionMajor) + "." + std::to_string(versionMinor);
}

} // namespace OFX
