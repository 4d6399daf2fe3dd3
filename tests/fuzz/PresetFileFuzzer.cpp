// libFuzzer target: any bytes as a preset file must give a map (possibly empty), never a
// crash, a hang or a sanitizer report.
#include "presets/PresetFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string effect;
    std::string version;
    const PresetValues values = parsePresetText(text, "fuzz.xml", effect, version);
    for (const auto& entry : values) {
        // Every value converts without trouble.
        (void)entry.second.asText();
        (void)entry.second.asComponents();
    }
    return 0;
}
