#pragma once

#include "definition/DefinitionRecords.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The overlays each effect declared, filled by describe and read by the viewer interacts. One
// per process; one plug-in library serves one effect, so the current effect is that effect.
class OverlayRegistry {
public:
    struct Entry {
        std::vector<OverlayDef> overlays;
        // OverlayCoordinates as its code: 0 uv, 1 centered, 2 centered_aspect.
        int coordSystem = 0;
    };

    static OverlayRegistry& instance();

    OverlayRegistry() = default;
    OverlayRegistry(const OverlayRegistry&) = delete;
    OverlayRegistry& operator=(const OverlayRegistry&) = delete;

    // Replaces any earlier entry of that effect.
    void registerOverlays(const std::string& effectName, std::vector<OverlayDef> overlays,
                          int coordSystem);
    void setCurrentEffect(const std::string& effectName);
    std::string currentEffect() const;

    // Copies, so a later registration cannot pull an entry from under a reader.
    std::optional<Entry> find(const std::string& effectName) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, Entry>> entries_;
    std::string current_;
};
