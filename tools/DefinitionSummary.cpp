// Prints a summary of the effect definition compiled into the plug-in library.
#include "definition/EmbeddedDefinition.h"
#include "definition/XMLEffectDefinition.h"

#include <cstdio>
#include <string>

namespace {

const char* pageItemText(const PageItem& item) {
    return item.kind == PageItemKind::TopLevel ? "(top-level)" : item.groupName.c_str();
}

void printParameter(const ParameterDef& param) {
    std::printf("  %-18s %-7s %-26s", param.name.c_str(), param.type.c_str(),
                ("\"" + param.label + "\"").c_str());
    if (param.type == "bool") {
        std::printf(" default %s", param.boolDefault ? "on" : "off");
    } else if (param.type == "choice") {
        const auto index = static_cast<std::size_t>(param.defaultValue);
        std::printf(" default \"%s\" of %zu",
                    index < param.options.size() ? param.options[index].label.c_str() : "?",
                    param.options.size());
    } else if (!param.components.empty()) {
        std::printf(" default");
        for (const ComponentDef& c : param.components) {
            std::printf(" %s=%g [%g, %g]", c.name.c_str(), c.defaultValue, c.min, c.max);
        }
    } else {
        std::printf(" default %g [%g, %g]", param.defaultValue, param.min, param.max);
    }
    std::printf("\n");
}

} // namespace

int main() {
    XMLEffectDefinition definition;
    if (!definition.parseEmbedded(embeddedEffectDefinition())) {
        std::fprintf(stderr, "halden-definition: the embedded effect definition does not parse\n");
        return 1;
    }
    std::printf("%s (%s), version %s\n%s\n\n", definition.name().c_str(),
                definition.category().c_str(), definition.version().c_str(),
                definition.description().c_str());

    std::printf("Inputs:\n");
    for (const InputDef& input : definition.inputs()) {
        std::printf("  %-10s %s, when not connected: %s\n", input.name.c_str(),
                    input.optional ? "optional" : "required", input.noInputMode.c_str());
    }
    std::printf("\nBundled textures:\n");
    for (const ResourceDef& resource : definition.resources()) {
        std::printf("  %-16s %s\n", resource.name.c_str(), resource.file.c_str());
    }
    std::printf("\nParameters (%zu):\n", definition.parameters().size());
    for (const ParameterDef& param : definition.parameters()) {
        printParameter(param);
    }
    std::printf("\nPages:\n");
    for (const PageDef& page : definition.pages()) {
        std::printf("  %s:", page.name.c_str());
        for (std::size_t i = 0; i < page.items.size(); ++i) {
            std::printf("%s %s", i == 0 ? "" : ",", pageItemText(page.items[i]));
        }
        std::printf("\n");
    }
    std::printf("\nOverlays: %zu\n", definition.overlays().size());
    for (const ProcessDef& process : definition.processes()) {
        std::printf("Pipeline process \"%s\":", process.name.c_str());
        for (const KernelDef& kernel : process.kernels) {
            if (kernel.platform == "cuda") {
                std::printf(" %s x%d", kernel.file.c_str(), kernel.executions);
            }
        }
        std::printf("\n");
    }
    return 0;
}
