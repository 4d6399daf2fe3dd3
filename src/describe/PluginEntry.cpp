// The library's one plug-in, handed to the support layer when the host first asks for it.
#include "describe/GenericEffectFactory.h"
#include "log/Logger.h"

#include "ofx/support/SupportLog.h"

#include <exception>
#include <memory>
#include <string>

namespace {

// Name under which the log is kept; may arrive wrapped in one pair of double quotes.
const char* const kProductId = "halden_v01";
// Source of the plug-in identifier; the file itself is never read.
const char* const kDefinitionPath =
    "C:/Program Files/Common Files/OFX/Plugins/halden_v01.ofx.bundle/Contents/effects/"
    "halden_v01.xml";

std::string unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

} // namespace

void OFX::Plugin::getPluginIDs(OFX::PluginFactoryArray& ids) {
    const std::string productId = unquoted(kProductId);
    Logger::instance().setLevel(Logger::INFO_LEVEL);
    Logger::instance().openForEffect(productId);
    OFX::SupportLog::setSink([](const std::string& line) { HALDEN_LOG_ERROR("%s", line.c_str()); });
    HALDEN_LOG_INFO("Creating factory for effect: %s", productId.c_str());
    HALDEN_LOG_INFO("XML path: %s", kDefinitionPath);

    static std::unique_ptr<GenericEffectFactory> factory;
    if (!factory) {
        try {
            factory = std::make_unique<GenericEffectFactory>(kDefinitionPath);
        } catch (const std::exception& e) {
            // The host then sees no plug-in in this library instead of a crash.
            HALDEN_LOG_ERROR("Failed to create the effect factory: %s", e.what());
            return;
        }
    }
    ids.push_back(factory.get());
}
