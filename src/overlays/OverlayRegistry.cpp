#include "overlays/OverlayRegistry.h"

#include "log/Logger.h"

OverlayRegistry& OverlayRegistry::instance() {
    // Built on first use, destroyed when the library unloads.
    static OverlayRegistry registry;
    return registry;
}

void OverlayRegistry::registerOverlays(const std::string& effectName,
                                       std::vector<OverlayDef> overlays, int coordSystem) {
    const std::size_t count = overlays.size();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Entry entry{std::move(overlays), coordSystem};
        bool replaced = false;
        for (auto& [name, existing] : entries_) {
            if (name == effectName) {
                existing = std::move(entry);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            entries_.emplace_back(effectName, std::move(entry));
        }
    }
    HALDEN_LOG_INFO("Registered %zu overlays for effect '%s' (coordSystem=%d)", count,
                    effectName.c_str(), coordSystem);
}

void OverlayRegistry::setCurrentEffect(const std::string& effectName) {
    std::lock_guard<std::mutex> lock(mutex_);
    current_ = effectName;
}

std::string OverlayRegistry::currentEffect() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return current_;
}

std::optional<OverlayRegistry::Entry> OverlayRegistry::find(const std::string& effectName) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [name, entry] : entries_) {
        if (name == effectName) {
            return entry;
        }
    }
    return std::nullopt;
}
