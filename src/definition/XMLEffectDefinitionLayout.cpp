// The layout, pipeline and overlay sections of the effect definition.
#include "definition/XMLEffectDefinition.h"

#include "log/Logger.h"

#include <pugixml.hpp>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace {

bool elementChildNamed(const pugi::xml_node& node, const char* name) {
    return static_cast<bool>(node.child(name));
}

struct OverlayTypeName {
    const char* name;
    OverlayType type;
};

constexpr OverlayTypeName kOverlayTypes[] = {
    {"point", OverlayType::Point},     {"radius", OverlayType::Radius},
    {"scale2d", OverlayType::Scale2D}, {"vslider", OverlayType::VSlider},
    {"vector", OverlayType::Vector},   {"ellipse", OverlayType::Ellipse},
    {"line", OverlayType::Line},       {"qualifier", OverlayType::Qualifier},
};

bool isNestedOverlay(const std::string& element) {
    return element == "vector" || element == "radius" || element == "scale2d";
}

OverlayDef parseOverlay(const pugi::xml_node& node) {
    OverlayDef overlay;
    const std::string element = node.name();
    const auto found =
        std::find_if(std::begin(kOverlayTypes), std::end(kOverlayTypes),
                     [&](const OverlayTypeName& entry) { return element == entry.name; });
    if (found == std::end(kOverlayTypes)) {
        // An empty record has neither param nor center, so the caller drops it.
        HALDEN_LOG_INFO("Unknown overlay type '%s', skipping", element.c_str());
        return overlay;
    }
    overlay.type = found->type;
    overlay.param = node.attribute("param").as_string();
    overlay.style = node.attribute("style").as_string("crosshair");
    overlay.center = node.attribute("center").as_string();
    overlay.fixedX = node.attribute("fixed_x").as_float(0.5f);
    overlay.visibleWhen = node.attribute("visible_when").as_string();
    overlay.color = parseOverlayColor(node.attribute("color").as_string());
    overlay.label = node.attribute("label").as_string();
    overlay.direction = node.attribute("direction").as_string();
    overlay.magnitude = node.attribute("magnitude").as_string();
    overlay.fixedMagnitude = node.attribute("fixed_magnitude").as_float(0.1f);
    overlay.angle = node.attribute("angle").as_string();

    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element || !isNestedOverlay(child.name())) {
            continue;
        }
        OverlayDef nested = parseOverlay(child);
        if (!nested.param.empty() || !nested.center.empty()) {
            overlay.children.push_back(std::move(nested));
        }
    }
    HALDEN_LOG_INFO("Parsed overlay: type=%s, param=%s, style=%s", element.c_str(),
                    overlay.param.c_str(), overlay.style.c_str());
    return overlay;
}

} // namespace

std::string XMLEffectDefinition::checkedParameterReference(const pugi::xml_node& reference,
                                                           const char* emptyMessage,
                                                           const char* unknownPrefix) const {
    const std::string name = reference.text().as_string();
    if (name.empty()) {
        throw std::runtime_error(emptyMessage);
    }
    if (!hasParameter(name)) {
        throw std::runtime_error(unknownPrefix + name);
    }
    return name;
}

void XMLEffectDefinition::parseUI(const pugi::xml_node& ui) {
    HALDEN_LOG_INFO("XMLEffectDefinition::parseUI called");
    for (const pugi::xml_node& reference : ui.children("parameter")) {
        topLevelParameters_.push_back(checkedParameterReference(
            reference, "Top-level parameter reference in <ui> cannot be empty",
            "Referenced top-level parameter does not exist: "));
    }
    if (!topLevelParameters_.empty()) {
        HALDEN_LOG_INFO("Parsed %zu top-level parameters in <ui>", topLevelParameters_.size());
    }

    for (const pugi::xml_node& groupNode : ui.children("group")) {
        UIGroupDef group;
        group.name = groupNode.attribute("name").as_string();
        group.tooltip = groupNode.attribute("tooltip").as_string();
        group.open = groupNode.attribute("open").as_bool(true);
        if (group.name.empty()) {
            throw std::runtime_error("group must have a name attribute");
        }
        const bool hasColumns = elementChildNamed(groupNode, "column");
        const bool hasParameters = elementChildNamed(groupNode, "parameter");
        if (!hasColumns && !hasParameters) {
            throw std::runtime_error(
                "group must contain either columns or direct parameter references");
        }
        for (const pugi::xml_node& columnNode : groupNode.children("column")) {
            UIColumnDef column;
            column.name = columnNode.attribute("name").as_string();
            column.tooltip = columnNode.attribute("tooltip").as_string();
            if (column.name.empty()) {
                throw std::runtime_error("Column must have a name attribute");
            }
            for (const pugi::xml_node& reference : columnNode.children("parameter")) {
                column.parameters.push_back(
                    checkedParameterReference(reference, "Parameter reference cannot be empty",
                                              "Referenced parameter does not exist: "));
            }
            group.columns.push_back(std::move(column));
        }
        for (const pugi::xml_node& reference : groupNode.children("parameter")) {
            group.parameters.push_back(
                checkedParameterReference(reference, "Parameter reference cannot be empty",
                                          "Referenced parameter does not exist: "));
        }
        uiGroups_.push_back(std::move(group));
    }
    HALDEN_LOG_INFO("XMLEffectDefinition::parseUI completed, parsed %d groups",
                    static_cast<int>(uiGroups_.size()));
}

void XMLEffectDefinition::parsePages(const pugi::xml_node& pages) {
    HALDEN_LOG_INFO("XMLEffectDefinition::parsePages called");
    std::set<std::string> groupNames;
    for (const UIGroupDef& group : uiGroups_) {
        groupNames.insert(group.name);
    }

    for (const pugi::xml_node& pageNode : pages.children("page")) {
        PageDef page;
        page.name = pageNode.attribute("name").as_string();
        if (page.name.empty()) {
            throw std::runtime_error("<page> must have a name attribute");
        }
        for (const pugi::xml_node& item : pageNode.children()) {
            if (item.type() != pugi::node_element) {
                continue;
            }
            const std::string element = item.name();
            if (element == "group") {
                const std::string group = item.text().as_string();
                if (group.empty()) {
                    throw std::runtime_error("<group> reference in <page> '" + page.name +
                                             "' cannot be empty");
                }
                if (groupNames.count(group) == 0) {
                    std::string available;
                    for (const std::string& name : groupNames) {
                        available += (available.empty() ? "" : ", ") + name;
                    }
                    throw std::runtime_error("Unknown group '" + group +
                                             "' referenced in <page> '" + page.name +
                                             "'. Available groups: " + available);
                }
                page.items.push_back({PageItemKind::Group, group});
            } else if (element == "top-level") {
                page.items.push_back({PageItemKind::TopLevel, std::string()});
            } else {
                throw std::runtime_error("Unknown element <" + element + "> in <page> '" +
                                         page.name + "'. Valid elements: <group>, <top-level/>");
            }
        }
        HALDEN_LOG_INFO("  Page '%s': %zu items", page.name.c_str(), page.items.size());
        pages_.push_back(std::move(page));
    }
    HALDEN_LOG_INFO("XMLEffectDefinition::parsePages completed, parsed %zu pages", pages_.size());
}

void XMLEffectDefinition::parseAccumulationBuffers(const pugi::xml_node& buffers) {
    HALDEN_LOG_INFO("Parsing <accumulation_buffers> section");
    for (const pugi::xml_node& buffer : buffers.children("buffer")) {
        const std::string name = buffer.attribute("name").as_string();
        if (name.empty()) {
            throw std::runtime_error("Accumulation buffer must have a name attribute");
        }
        if (std::find(accumulationBuffers_.begin(), accumulationBuffers_.end(), name) !=
            accumulationBuffers_.end()) {
            throw std::runtime_error("Duplicate accumulation buffer name: " + name);
        }
        accumulationBuffers_.push_back(name);
        HALDEN_LOG_INFO("  Accumulation buffer: '%s'", name.c_str());
    }
    HALDEN_LOG_INFO("Parsed %zu accumulation buffer(s)", accumulationBuffers_.size());
}

void XMLEffectDefinition::parsePipeline(const pugi::xml_node& pipeline) {
    HALDEN_LOG_INFO("Parsing <pipeline> section (refactored structure)");
    pipelineExecutions_ = pipeline.attribute("executions").as_string("1");
    if (pipelineExecutions_ != "1") {
        HALDEN_LOG_INFO("Effect executions (from <pipeline>): %s", pipelineExecutions_.c_str());
    }
    for (const pugi::xml_node& processNode : pipeline.children("process")) {
        ProcessDef process;
        process.name = processNode.attribute("name").as_string("unnamed_process");
        process.executions = processNode.attribute("executions").as_string();
        process.initialization = processNode.attribute("initialization").as_string();
        for (const pugi::xml_node& kernelNode : processNode.children()) {
            const std::string platform = kernelNode.name();
            if (kernelNode.type() != pugi::node_element ||
                (platform != "metal" && platform != "cuda" && platform != "opencl")) {
                continue;
            }
            KernelDef kernel;
            kernel.platform = platform;
            kernel.file = kernelNode.attribute("file").as_string();
            kernel.executions = kernelNode.attribute("executions").as_int(1);
            HALDEN_LOG_DEBUG("    Kernel: %s (platform=%s, executions=%d)", kernel.file.c_str(),
                             kernel.platform.c_str(), kernel.executions);
            process.kernels.push_back(std::move(kernel));
        }
        HALDEN_LOG_INFO("  Process '%s': %zu kernels, executions=%s, init=%s", process.name.c_str(),
                        process.kernels.size(),
                        process.executions.empty() ? "1" : process.executions.c_str(),
                        process.initialization.empty() ? "none" : process.initialization.c_str());
        processes_.push_back(std::move(process));
    }
}

void XMLEffectDefinition::parseOverlays(const pugi::xml_node& overlays) {
    HALDEN_LOG_INFO("Parsing <overlays> section");
    const std::string coordinates = overlays.attribute("coordinates").as_string("uv");
    if (coordinates == "centered") {
        overlayCoordinates_ = OverlayCoordinates::Centered;
        HALDEN_LOG_INFO("Overlay coordinate system: centered (-0.5 to 0.5)");
    } else if (coordinates == "centered_aspect") {
        overlayCoordinates_ = OverlayCoordinates::CenteredAspect;
        HALDEN_LOG_INFO("Overlay coordinate system: centered_aspect (aspect-corrected)");
    } else {
        overlayCoordinates_ = OverlayCoordinates::UV;
        HALDEN_LOG_INFO("Overlay coordinate system: uv (0-1 range)");
    }

    for (const pugi::xml_node& node : overlays.children()) {
        if (node.type() != pugi::node_element || *node.name() == '\0') {
            continue;
        }
        OverlayDef overlay = parseOverlay(node);
        // An overlay is only useful when a parameter drives it.
        if (!overlay.param.empty() || !overlay.center.empty()) {
            overlays_.push_back(std::move(overlay));
        }
    }
    HALDEN_LOG_INFO("Parsed %zu overlays", overlays_.size());
}
